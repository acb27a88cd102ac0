#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include "support/PlatformFacts.h"

namespace kivtest {

std::string ExpectedDocumentsFolder(const std::string&) {
    PWSTR wide = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &wide))) {
        const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        folder.resize(static_cast<size_t>(length > 0 ? length : 1));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, folder.data(), length, nullptr, nullptr);
        folder.resize(folder.size() - 1);
    }
    CoTaskMemFree(wide);
    return folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
}

std::optional<std::string> CodePageText(const std::filesystem::path& path) {
    const std::wstring wide = path.wstring();
    BOOL lost = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (length <= 0 || lost) return std::nullopt;
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, text.data(), length, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}

bool MakeFifo(const std::string&) {
    return false;
}

bool IsOnNoSuidMount(const std::string&) {
    return true;
}

std::optional<size_t> LargestChildMemory() {
    return std::nullopt;
}

}  // namespace kivtest
