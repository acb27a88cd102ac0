// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
#ifndef KIVLOGGING_TESTS_SUPPORT_TEMPDIRECTORY_H
#define KIVLOGGING_TESTS_SUPPORT_TEMPDIRECTORY_H

#include <filesystem>
#include <string>

namespace kivtest {

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path of an entry inside, as text.
    std::string File(const std::string& name) const;
    // The directory as text, ending in the platform's separator.
    std::string DirectoryText() const;

private:
    std::filesystem::path m_path;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Replaces a file's content.
void WriteFile(const std::string& path, const std::string& content);
// Adds the content at the end of the file, in binary.
void AppendFile(const std::string& path, const std::string& content);

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_TEMPDIRECTORY_H
