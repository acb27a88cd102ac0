#include "support/PlatformFacts.h"

namespace kivtest {

std::string ExpectedDocumentsFolder(const std::string& home) {
    return home + "/Documents/";
}

}  // namespace kivtest
