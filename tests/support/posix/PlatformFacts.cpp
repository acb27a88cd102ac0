#include "support/PlatformFacts.h"

#include <sys/stat.h>

namespace kivtest {

std::string ExpectedDocumentsFolder(const std::string& home) {
    return home + "/Documents/";
}

bool MakeFifo(const std::string& path) {
    return mkfifo(path.c_str(), 0600) == 0;
}

}  // namespace kivtest
