// An optional listener to the decisions of the configuration search and of
// the reading of the properties file, for tools that explain the
// configuration. Without an observer the loader does no extra work.
#ifndef KIVLOGGING_PROPERTIES_LOADOBSERVER_H
#define KIVLOGGING_PROPERTIES_LOADOBSERVER_H

#include <string>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging {

enum class VariableState { kUnset, kBlank, kSet };

enum class FileOutcome {
    // No configuration directory was found.
    kNoDirectory,
    // The directory lacks the file.
    kMissing,
    // The file exists but cannot be opened (or is a directory).
    kUnreadable,
    // A FIFO, device or socket, which is not read.
    kNotRegularFile,
    // Larger than the largest properties file read, so not read.
    kTooLarge,
    kRead,
};

// What became of one line of the properties file.
enum class LineVerdict {
    kAccepted,
    kEmpty,
    kComment,
    kNoEqualsSign,
    kEmptyKey,
    kUnknownKey,
    // A known key in other letter case.
    kKeyInOtherCase,
    // A known key after a tab or other white space that starts the line.
    kWhiteSpaceBeforeKey,
    // A known key after a byte order mark on the first line.
    kByteOrderMark,
    // A value that the key does not accept.
    kRejectedValue,
    // A value holding a NUL byte, which no key accepts.
    kNulInValue,
    // A log directory that does not exist.
    kMissingDirectory,
    // The key was taken by an earlier line of this reading.
    kKeyAlreadyTaken,
};

class LoadObserver {
public:
    virtual ~LoadObserver() = default;

    // KIV_SYS_CONFIG_DIR as found (the value after the trimming rule).
    virtual void ConfigVariable(VariableState, const std::string& value) { (void)value; }
    // The "CLASSIFIED" directory beside the executable, and whether it holds
    // the properties file; an empty directory when the executable's
    // directory is unknown.
    virtual void ClassifiedDirectory(const std::string& directory, bool hasFile) {
        (void)directory, (void)hasFile;
    }
    // The candidate directory and whether it exists; the search's result is
    // the candidate when it exists.
    virtual void ConfigDirectory(const std::string& candidate, bool exists) {
        (void)candidate, (void)exists;
    }
    virtual void PropertiesFile(const std::string& path, FileOutcome) { (void)path; }
    // One line (numbered from 1) and what became of it; key is the text
    // before "=" and stored the value stored for an accepted line.
    virtual void Line(unsigned number, std::string_view text, LineVerdict, std::string_view key,
                      const std::string& stored) {
        (void)number, (void)text, (void)key, (void)stored;
    }
    // Reading stopped after this line: every key it could take was taken.
    virtual void StoppedEarly(unsigned lastLine) { (void)lastLine; }
    // A default stored for a key the file left unset.
    virtual void DefaultStored(const std::string& key, const std::string& value) {
        (void)key, (void)value;
    }
    // The Documents folder considered as the default log directory.
    virtual void DefaultLogDirectory(const std::string& folder, bool exists) {
        (void)folder, (void)exists;
    }
};

}  // namespace ORVA::KIV::System::Utility::Logging

#endif  // KIVLOGGING_PROPERTIES_LOADOBSERVER_H
