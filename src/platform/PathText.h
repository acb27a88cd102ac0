// The path encoding. Paths inside the library are narrow strings: the
// system's own bytes on POSIX; UTF-8 on Windows, so that every name the
// system gives (the executable's directory, the Documents folder, the
// environment, directory listings) is kept whole for the wide calls,
// whatever the code page. Text at the interface and in the properties file
// is in the process's code page (on Windows its ANSI code page).
#ifndef KIVLOGGING_PLATFORM_PATHTEXT_H
#define KIVLOGGING_PLATFORM_PATHTEXT_H

#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging::Platform {

std::string PathFromText(std::string_view text);
// A character the code page lacks becomes its default character ("?").
std::string TextFromPath(std::string_view path);

}  // namespace ORVA::KIV::System::Utility::Logging::Platform

#endif  // KIVLOGGING_PLATFORM_PATHTEXT_H
