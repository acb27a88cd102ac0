// UTF-16, the text of Windows' wide calls, and the narrow encodings.
#ifndef KIVLOGGING_PLATFORM_WIN32_WIDETEXT_H
#define KIVLOGGING_PLATFORM_WIN32_WIDETEXT_H

#include <windows.h>

#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging::Platform {

// The text of one code page as UTF-16; empty for empty text and for bytes
// the code page does not decode.
std::wstring WideOf(std::string_view text, UINT codePage);
std::string NarrowOf(std::wstring_view wide, UINT codePage);

// A path of the library (UTF-8) for the wide calls, and back. A null path
// gives the empty text.
std::wstring WidePath(std::string_view path);
std::wstring WidePath(const char* path);
std::string PathOfWide(std::wstring_view wide);

}  // namespace ORVA::KIV::System::Utility::Logging::Platform

#endif  // KIVLOGGING_PLATFORM_WIN32_WIDETEXT_H
