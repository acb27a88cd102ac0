#include "platform/PathText.h"

namespace ORVA::KIV::System::Utility::Logging::Platform {

// POSIX paths are bytes, as text is.
std::string PathFromText(std::string_view text) {
    return std::string(text);
}

std::string TextFromPath(std::string_view path) {
    return std::string(path);
}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
