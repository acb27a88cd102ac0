#include "platform/win32/WideText.h"

#include "platform/PathText.h"

namespace ORVA::KIV::System::Utility::Logging::Platform {

std::wstring WideOf(std::string_view text, UINT codePage) {
    if (text.empty() || text.size() > 0x7fffffff) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string NarrowOf(std::wstring_view wide, UINT codePage) {
    if (wide.empty() || wide.size() > 0x7fffffff) return std::string();
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::wstring WidePath(std::string_view path) {
    return WideOf(path, CP_UTF8);
}

std::wstring WidePath(const char* path) {
    return path == nullptr ? std::wstring() : WidePath(std::string_view(path));
}

std::string PathOfWide(std::wstring_view wide) {
    return NarrowOf(wide, CP_UTF8);
}

std::string PathFromText(std::string_view text) {
    return PathOfWide(WideOf(text, CP_ACP));
}

std::string TextFromPath(std::string_view path) {
    return NarrowOf(WidePath(path), CP_ACP);
}

}  // namespace ORVA::KIV::System::Utility::Logging::Platform
