// Writes the selected records in one of the output forms.
#ifndef KIVLOGGING_TOOLS_KIVLOG_RECORDWRITER_H
#define KIVLOGGING_TOOLS_KIVLOG_RECORDWRITER_H

#include <string>
#include <string_view>
#include <vector>

#include "Output.h"
#include "Record.h"
#include "UtcConversion.h"

namespace kivlog {

enum class Form {
    // The bytes as the library wrote them: the output is itself a log.
    kLayout,
    // One line per record, line ends inside texts escaped.
    kLine,
    // JSON Lines, one object per record.
    kJson,
};

class RecordWriter {
public:
    RecordWriter(Output& output, Form form);

    // Names an input for the "file" field (and, with several inputs, the
    // start of --line lines).
    void AddInput(int input, const std::string& path);
    // A banner the filter left out: written before a torn fragment of raw
    // text of its input, when no banner is written yet, because only after
    // a banner does such a fragment read as torn.
    void KeepBanner(const Record& banner);
    // Times are written in UTC ("2024-03-05T06:08:09Z"), by the time zone
    // rules of this machine.
    void WriteUtc() { m_utc = true; }
    // --line starts every line with the input's name and line number,
    // also while there is one input so far.
    void NameInputs() { m_nameInputs = true; }
    void Write(const Record& record);
    // Whether Write shows anything of the record: --line and --json show
    // no banners.
    bool Shows(const Record& record) const;

private:
    void WriteLayout(const Record& record);
    void WriteLine(const Record& record);
    void WriteJson(const Record& record);
    void AppendTime(TimeKey time);
    // A long text is escaped and written out in slices, so that a record of
    // control characters (six bytes each in JSON) is never held whole,
    // escaped. Takes the next slice off the text: never cut inside a UTF-8
    // sequence, which a terminal is shown whole, or a CR LF.
    static constexpr size_t kSlice = 64 << 10;
    static std::string_view NextSlice(std::string_view* text);
    // Writes out m_scratch once it holds a slice; true when it did.
    bool WriteOutFullSlice();
    // Appends the text on one line (see AppendOnOneLine) to m_scratch,
    // writing out what is escaped as it goes.
    void AppendLongLine(std::string_view text);
    // Appends the text as a JSON string to m_scratch, writing out what is
    // escaped as it goes; crlfToLf: CR LF is written as LF. True when all
    // of it is still in m_scratch.
    bool AppendLongJsonString(std::string_view text, bool crlfToLf);

    Output& m_output;
    Form m_form;
    std::vector<std::string> m_paths;
    std::vector<std::string> m_jsonPaths;
    std::string m_scratch;
    std::string m_text;
    // Whether --line names the input; fixed by the first record written.
    bool m_nameInputs = false;
    bool m_shapeFixed = false;
    // Line ends that end the layout written so far (at most two), and the
    // record written last, so that each record starts where a reader of the
    // output finds it.
    // Three before the first record: nothing needs adding there.
    int m_trailingLineEnds = 3;
    int m_lastInput = -1;
    bool m_lastContinues = false;
    // The kind of line end of the record written last.
    std::string_view m_lineEnd = "\n";
    // The banners left out, by input, until a banner is written.
    std::vector<std::string> m_bannersLeftOut;
    bool m_wroteBanner = false;
    bool m_utc = false;
    UtcConversion m_utcConversion;
    // The text AppendTime wrote last, and its time: records come in runs
    // of one second.
    std::string m_timeText;
    TimeKey m_timeOfText = -1;
};

}  // namespace kivlog

#endif  // KIVLOGGING_TOOLS_KIVLOG_RECORDWRITER_H
