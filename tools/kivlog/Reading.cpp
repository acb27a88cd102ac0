#include "Reading.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "LogFiles.h"
#include "LogReader.h"
#include "TerminalText.h"

namespace kivlog {
namespace {

// How long following waits between looks at the files.
constexpr std::chrono::milliseconds kFollowInterval(200);
// All inputs together hold about this much; one input at most kLargestLimit.
constexpr size_t kMemoryForRecords = 32 << 20;
constexpr size_t kLargestLimit = 8 << 20;
constexpr size_t kSmallestLimit = 64 << 10;

class Merger {
public:
    Merger(const ReadOptions& options, const RecordSinks& sinks) : m_options(options), m_sinks(sinks) {}

    int Run() {
        std::vector<std::string> files;
        for (const std::string& path : m_options.paths) {
            std::error_code error;
            if (path != "-" && std::filesystem::is_directory(path, error)) {
                m_directories.push_back(path);
                const std::vector<std::string> found = ListLogFiles(path, error);
                if (error) {
                    Fail(path, "cannot list the directory: " + error.message());
                } else if (found.empty() && !m_options.follow) {
                    Fail(path, "no kiv.log_*.log files in this directory");
                }
                files.insert(files.end(), found.begin(), found.end());
            } else {
                files.push_back(path);
            }
        }
        m_limit = std::clamp(kMemoryForRecords / std::max<size_t>(files.size(), 1), kSmallestLimit, kLargestLimit);
        m_inputCount = files.size();
        for (const std::string& file : files) Add(file);
        Merge();
        for (const Input& input : m_inputs) {
            if (input.reader->Failed()) m_status = 1;
        }
        return m_status;
    }

private:
    struct Input {
        std::unique_ptr<LogReader> reader;
        Record pending;
        bool hasPending = false;
        bool finished = false;
    };

    void Fail(const std::string& path, const std::string& problem) {
        ReportProblem(path, problem);
        m_status = 1;
    }

    void Add(const std::string& path) {
        m_known.insert(path);
        Input input;
        input.reader = std::make_unique<LogReader>(path, static_cast<int>(m_inputs.size()), m_limit);
        if (m_options.filter.minimumLevel) {
            // One input read to its end needs no times to be merged by.
            input.reader->PassOverBelow(*m_options.filter.minimumLevel, m_inputCount > 1 || m_options.follow);
        }
        input.finished = !input.reader->Open();
        if (m_sinks.onInput) m_sinks.onInput(static_cast<int>(m_inputs.size()), path);
        m_inputs.push_back(std::move(input));
    }

    // Opens the log files that appeared in the followed directories.
    void LookForNewFiles() {
        for (const std::string& directory : m_directories) {
            std::error_code error;
            for (const std::string& file : ListLogFiles(directory, error)) {
                if (m_known.count(file) == 0) Add(file);
            }
        }
    }

    void Merge() {
        bool settle = false;
        for (;;) {
            int earliest = -1;
            bool waiting = false;
            for (size_t i = 0; i < m_inputs.size(); ++i) {
                Input& input = m_inputs[i];
                if (!input.hasPending && !input.finished) {
                    switch (input.reader->Next(m_options.follow, settle, &input.pending)) {
                        case LogReader::Step::kRecord: input.hasPending = true; break;
                        case LogReader::Step::kWaiting: waiting = true; break;
                        case LogReader::Step::kFinished: input.finished = true; break;
                    }
                }
                if (input.hasPending && (earliest < 0 || input.pending.time < m_inputs[earliest].pending.time)) {
                    earliest = static_cast<int>(i);
                }
            }
            if (earliest >= 0) {
                Input& input = m_inputs[earliest];
                if (m_options.filter.Passes(input.pending)) m_sinks.onRecord(input.pending);
                input.hasPending = false;
                settle = false;
                continue;
            }
            if (!m_options.follow || (!waiting && m_directories.empty())) return;
            if (m_sinks.onIdle) m_sinks.onIdle();
            std::this_thread::sleep_for(kFollowInterval);
            LookForNewFiles();
            // Data that stood still for one interval is taken as written.
            settle = true;
        }
    }

    const ReadOptions& m_options;
    const RecordSinks& m_sinks;
    std::vector<Input> m_inputs;
    std::vector<std::string> m_directories;
    std::set<std::string> m_known;
    size_t m_limit = kLargestLimit;
    size_t m_inputCount = 0;
    int m_status = 0;
};

}  // namespace

int ReadRecords(const ReadOptions& options, const RecordSinks& sinks) {
    return Merger(options, sinks).Run();
}

}  // namespace kivlog
