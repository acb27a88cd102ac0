#include "EmptyCall.h"

namespace kivbench {

void EmptyCall::Info(const char*, const char*, const char*) {}

EmptyCall& TheEmptyCall() {
    static EmptyCall call;
    return call;
}

}  // namespace kivbench
