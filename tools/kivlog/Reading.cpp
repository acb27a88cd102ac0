#include "Reading.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <queue>
#include <set>
#include <vector>

#include "ChangeWatch.h"
#include "LogFiles.h"
#include "LogReader.h"
#include "OpenFileBudget.h"
#include "ProblemReport.h"
#include "ToolPlatform.h"

namespace kivlog {
namespace {

// How long following waits for a change while a record is only partly
// there or changes are not reported, and otherwise, before it looks at
// every file anyway (a change watch does not see every kind of file
// system).
constexpr std::chrono::milliseconds kShortWait(200);
constexpr std::chrono::milliseconds kLongWait(5000);
// All inputs together hold about this much; one input at most kLargestLimit.
constexpr size_t kMemoryForRecords = 32 << 20;
constexpr size_t kLargestLimit = 8 << 20;
constexpr size_t kSmallestLimit = 32 << 10;
// The buffers of all inputs together start at most this large, so that
// what is kept of each input besides (about 1 KiB) fits in the rest of
// kMemoryForRecords even for 10000 inputs: each reads at most its share at
// a time, and at least kSmallestRead.
constexpr size_t kMemoryForReads = 16 << 20;
constexpr size_t kSmallestRead = 1 << 10;

// The directory that holds a path, as the change watch is given it.
std::string DirectoryOf(const std::string& path) {
    const std::string parent = std::filesystem::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

std::string NameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

class Merger {
public:
    Merger(const ReadOptions& options, const RecordSinks& sinks, size_t openFiles)
        : m_options(options), m_sinks(sinks), m_budget(openFiles) {}

    int Run() {
        std::vector<std::string> files;
        for (const std::string& path : m_options.paths) {
            std::error_code error;
            if (path != "-" && std::filesystem::is_directory(path, error)) {
                m_directories.push_back(path);
                if (m_options.follow) m_watch.Watch(path);
                const std::vector<std::string> found = ListLogFiles(path, error);
                if (error) {
                    Fail(path, "cannot list the directory: " + error.message());
                } else if (found.empty() && !m_options.follow) {
                    Fail(path, "no kiv.log_*.log files in this directory");
                }
                for (const std::string& file : found) {
                    files.push_back(file);
                    m_fromDirectory.insert(file);
                }
            } else {
                files.push_back(path);
            }
        }
        if (m_options.follow && !m_directories.empty() && m_sinks.onInputsMayAppear) m_sinks.onInputsMayAppear();
        const size_t inputs = std::max<size_t>(files.size(), 1);
        m_limit = std::clamp(kMemoryForRecords / inputs, kSmallestLimit, kLargestLimit);
        m_readSize = std::max(kMemoryForReads / inputs, kSmallestRead);
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
        // Whether the filter took the first piece of the over-long record
        // whose later pieces are still coming: they go with it.
        bool takesLaterPieces = false;
        bool waiting = false;
        bool finished = false;
        // Whether it is in m_holding, and the newest time of another
        // input's record that its held record was offered release at.
        bool holding = false;
        TimeKey releaseTriedAt = 0;
    };

    // The inputs with a record ready, the earliest (by OrderTime) on top;
    // equal times in the order of the inputs.
    using Ready = std::pair<TimeKey, int>;
    using ReadyQueue = std::priority_queue<Ready, std::vector<Ready>, std::greater<Ready>>;

    void Fail(const std::string& path, const std::string& problem) {
        ReportProblem(path, problem);
        m_status = 1;
    }

    void Add(const std::string& path) {
        m_known.insert(path);
        const int index = static_cast<int>(m_inputs.size());
        Input input;
        input.reader = std::make_unique<LogReader>(path, index, m_limit, m_readSize, &m_budget);
        if (m_options.filter.minimumLevel) {
            using PassedOver = LogReader::PassedOver;
            const PassedOver passedOver = m_options.follow     ? PassedOver::kGiven
                                          : m_inputCount > 1 ? PassedOver::kTimed
                                                             : PassedOver::kDropped;
            input.reader->PassOverBelow(*m_options.filter.minimumLevel, passedOver);
        }
        if (m_fromDirectory.count(path) > 0) input.reader->FinishWhenGone();
        if (m_options.follow && path == "-" && (m_inputCount > 1 || !m_directories.empty())) {
            input.reader->NeverWaitOnPipe();
        }
        if (m_sinks.onIdle) input.reader->OnQuiet([this] { m_stopped = m_stopped || !m_sinks.onIdle(); });
        m_followsStandardInput = m_followsStandardInput || (m_options.follow && path == "-");
        if (m_options.follow && path != "-") {
            m_watch.Watch(DirectoryOf(path));
            m_byName[{DirectoryOf(path), NameOf(path)}].push_back(index);
        }
        if (m_sinks.onInput) m_sinks.onInput(index, path);
        m_inputs.push_back(std::move(input));
        m_toRead.push_back(index);
    }

    // Gets the next record of the input; true when it has one ready.
    bool ReadOne(int index) {
        Input& input = m_inputs[index];
        if (input.finished) return false;
        input.waiting = false;
        switch (input.reader->Next(m_options.follow, &input.pending)) {
            case LogReader::Step::kRecord: return true;
            case LogReader::Step::kWaiting:
                input.waiting = true;
                if (!input.holding && input.reader->HoldsPartialRecord()) {
                    input.holding = true;
                    m_holding.push_back(index);
                }
                break;
            case LogReader::Step::kFinished:
                input.finished = true;
                // A file of the same name that comes later is new.
                if (input.reader->Gone()) m_known.erase(input.reader->Path());
                break;
        }
        return false;
    }

    // Gets the next record of each input in m_toRead.
    void ReadOn() {
        for (const int index : m_toRead) {
            if (ReadOne(index)) m_ready.push({m_inputs[index].reader->OrderTime(), index});
        }
        m_toRead.clear();
    }

    // Before a record of the time newer is passed on: a record held back
    // because its file may still grow is released if it is whole and the
    // file has not grown since (see LogReader::ReleaseHeldRecord), so that
    // it goes on in time order rather than after the quiet that shows it.
    // Once per input and time: a release tried costs a read.
    void ReleaseHeldRecords(TimeKey newer) {
        std::vector<int> holding;
        holding.swap(m_holding);
        for (const int index : holding) {
            Input& input = m_inputs[index];
            input.holding = false;
            if (!input.waiting || !input.reader->HoldsPartialRecord()) continue;
            if (input.releaseTriedAt >= newer) {
                input.holding = true;
                m_holding.push_back(index);
                continue;
            }
            input.releaseTriedAt = newer;
            input.reader->ReleaseHeldRecord(newer);
            if (ReadOne(index)) m_ready.push({input.reader->OrderTime(), index});
        }
    }

    // Passes the input's pending record on, if the filter takes it.
    void Pass(Input& input) {
        const bool passes =
            input.pending.isLaterPiece ? input.takesLaterPieces : m_options.filter.Passes(input.pending);
        input.takesLaterPieces = passes && input.pending.continues;
        if (passes) {
            m_sinks.onRecord(input.pending);
        } else if (input.pending.kind == RecordKind::kBanner && m_sinks.onBannerLeftOut) {
            m_sinks.onBannerLeftOut(input.pending);
        }
    }

    // Opens the log files that appeared in the followed directories.
    void LookForNewFiles() {
        for (const std::string& directory : m_directories) {
            std::error_code error;
            for (const std::string& file : ListLogFiles(directory, error)) {
                if (m_known.count(file) == 0) {
                    m_fromDirectory.insert(file);
                    Add(file);
                }
            }
        }
    }

    // Whether a waiting input holds a record not yet whole.
    bool HoldsPartialRecord() const {
        return std::any_of(m_inputs.begin(), m_inputs.end(),
                           [](const Input& input) { return input.waiting && input.reader->HoldsPartialRecord(); });
    }

    // Waits for a change and chooses the inputs to read on.
    void WaitForChange() {
        std::vector<Change> changes;
        // Standard input is not watched: a file given there is looked at
        // often.
        const bool soon = HoldsPartialRecord() || !m_watch.Reports() || m_followsStandardInput;
        const bool told = m_watch.Wait(soon ? kShortWait : kLongWait, &changes);
        bool entries = !told || changes.empty();
        for (const Change& change : changes) {
            entries = entries || change.entries;
            const auto named = m_byName.find({change.directory, change.name});
            if (named == m_byName.end()) continue;
            for (const int index : named->second) {
                if (m_inputs[index].waiting) m_toRead.push_back(index);
            }
        }
        // Without word of which files changed, every one is looked at; a
        // record only partly there, and standard input, which no change
        // watch sees, are looked at again in any case.
        for (size_t i = 0; i < m_inputs.size(); ++i) {
            const Input& input = m_inputs[i];
            if (input.waiting && (!told || changes.empty() || input.reader->HoldsPartialRecord() ||
                                  input.reader->Path() == "-")) {
                m_toRead.push_back(static_cast<int>(i));
            }
        }
        std::sort(m_toRead.begin(), m_toRead.end());
        m_toRead.erase(std::unique(m_toRead.begin(), m_toRead.end()), m_toRead.end());
        if (entries) LookForNewFiles();
    }

    void Merge() {
        for (;;) {
            ReadOn();
            if (m_stopped) return;
            if (!m_ready.empty()) {
                if (!m_holding.empty()) ReleaseHeldRecords(m_ready.top().first);
                if (m_stopped) return;
                const int index = m_ready.top().second;
                m_ready.pop();
                // The input's records go on while they stay the earliest: a
                // run of records of one input costs no heap operation.
                Input& input = m_inputs[index];
                do {
                    Pass(input);
                    if (!ReadOne(index)) break;
                    if (m_stopped) return;
                } while (m_holding.empty() &&
                         (m_ready.empty() || Ready{input.reader->OrderTime(), index} < m_ready.top()));
                if (m_stopped) return;
                if (!input.waiting && !input.finished) m_ready.push({input.reader->OrderTime(), index});
                continue;
            }
            const bool waiting = std::any_of(m_inputs.begin(), m_inputs.end(),
                                             [](const Input& input) { return input.waiting; });
            if (!m_options.follow || (!waiting && m_directories.empty())) return;
            if (!m_caughtUp && !HoldsPartialRecord()) {
                m_caughtUp = true;
                if (m_sinks.onCaughtUp) m_sinks.onCaughtUp();
            }
            // Nothing is left to show until something changes; a reader
            // that has gone (a closed pipe) ends the run.
            if (m_sinks.onIdle && !m_sinks.onIdle()) return;
            WaitForChange();
        }
    }

    const ReadOptions& m_options;
    const RecordSinks& m_sinks;
    OpenFileBudget m_budget;
    ChangeWatch m_watch;
    std::vector<Input> m_inputs;
    ReadyQueue m_ready;
    std::vector<int> m_toRead;
    // Waiting inputs that hold back a record, and perhaps some that no
    // longer do.
    std::vector<int> m_holding;
    std::vector<std::string> m_directories;
    std::set<std::string> m_known;
    std::set<std::string> m_fromDirectory;
    // The followed inputs by directory and name, as changes name them.
    std::map<std::pair<std::string, std::string>, std::vector<int>> m_byName;
    size_t m_limit = kLargestLimit;
    size_t m_readSize = kMemoryForReads;
    size_t m_inputCount = 0;
    int m_status = 0;
    // Output failed while an input was quiet.
    bool m_stopped = false;
    bool m_caughtUp = false;
    bool m_followsStandardInput = false;
};

}  // namespace

int ReadRecords(const ReadOptions& options, const RecordSinks& sinks) {
    return Merger(options, sinks, AllowManyOpenFiles()).Run();
}

}  // namespace kivlog
