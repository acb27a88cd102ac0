#include "support/TempDirectory.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

namespace kivtest {

TempDirectory::TempDirectory() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        m_path = std::filesystem::temp_directory_path() /
                 ("kivlog-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(m_path)) break;
    }
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDirectory::File(const std::string& name) const {
    return (m_path / name).string();
}

std::string TempDirectory::DirectoryText() const {
    return (m_path / "").string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

void AppendFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::app);
    file << content;
}

}  // namespace kivtest
