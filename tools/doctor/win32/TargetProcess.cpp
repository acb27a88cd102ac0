#include "TargetProcess.h"

namespace kivdoctor {

bool AdoptTargetProcess(const std::string&, TargetProcess*, std::string* problem) {
    *problem = "--pid is available on Linux only; use --exe with the program's path";
    return false;
}

}  // namespace kivdoctor
