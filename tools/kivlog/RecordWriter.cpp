#include "RecordWriter.h"

#include <algorithm>
#include <charconv>

#include "Grammar.h"
#include "JsonText.h"
#include "TimeText.h"

namespace kivlog {
namespace {

using kivtools::AppendJsonString;
using kivtools::AppendJsonStringContent;
using kivtools::JsonBytes;

// The text with '\', CR and LF written as \\, \r and \n.
void AppendOnOneLine(std::string& out, std::string_view text) {
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
}

void AppendJsonOrNull(std::string& out, std::string_view text, bool present) {
    if (present) {
        AppendJsonString(out, text, JsonBytes::kUtf8);
    } else {
        out += "null";
    }
}

}  // namespace

RecordWriter::RecordWriter(Output& output, Form form) : m_output(output), m_form(form) {}

void RecordWriter::AddInput(int input, const std::string& path) {
    if (m_paths.size() <= static_cast<size_t>(input)) {
        m_paths.resize(input + 1);
        m_jsonPaths.resize(input + 1);
    }
    m_paths[input] = path;
    m_jsonPaths[input] = kivtools::JsonString(path, JsonBytes::kUtf8);
}

bool RecordWriter::Shows(const Record& record) const {
    return m_form == Form::kLayout || record.kind != RecordKind::kBanner;
}

void RecordWriter::Write(const Record& record) {
    if (m_form == Form::kLayout) {
        WriteLayout(record);
    } else if (Shows(record)) {
        m_scratch.clear();
        if (m_form == Form::kLine) {
            WriteLine(record);
        } else {
            WriteJson(record);
        }
        m_output.Write(m_scratch);
    }
}

void RecordWriter::KeepBanner(const Record& banner) {
    if (m_form != Form::kLayout || m_wroteBanner) return;
    if (m_bannersLeftOut.size() <= static_cast<size_t>(banner.input)) m_bannersLeftOut.resize(banner.input + 1);
    m_bannersLeftOut[banner.input] = banner.bytes;
}

void RecordWriter::WriteLayout(const Record& record) {
    const bool tornFragment = record.kind == RecordKind::kRaw && record.torn && !record.continues &&
                              !record.isLaterPiece && LineEndLength(record.bytes) > 0;
    if (tornFragment && !m_wroteBanner && static_cast<size_t>(record.input) < m_bannersLeftOut.size() &&
        !m_bannersLeftOut[record.input].empty()) {
        Record banner;
        banner.kind = RecordKind::kBanner;
        banner.input = record.input;
        const std::string bytes = std::move(m_bannersLeftOut[record.input]);
        banner.bytes = bytes;
        WriteLayout(banner);
    }
    if (record.kind == RecordKind::kBanner) {
        m_wroteBanner = true;
        m_bannersLeftOut.clear();
    }
    const bool nextPiece = record.isLaterPiece && m_lastContinues && record.input == m_lastInput;
    if (!nextPiece) {
        // Filtering and merging join records that were not next to each
        // other: line ends are added where the join would not read as the
        // start of a record. A head line or banner needs a run of two line
        // ends, its own included; anything else three. The added line ends
        // close the record before, so they are of its kind: a CR LF record
        // closed by LF would read as cut short.
        const bool ownLineEnd = LineEndLength(record.bytes) > 0;
        const int needed = record.kind == RecordKind::kRaw || !ownLineEnd ? 3 : 2;
        const int added = needed - m_trailingLineEnds - (ownLineEnd ? 1 : 0);
        for (int i = 0; i < added; ++i) m_output.Write(m_lineEnd);
        if (added > 0) m_trailingLineEnds += added;
    }
    m_output.Write(record.bytes);
    // A record's kind of line end is that of its first line end, else of
    // its last.
    const size_t leading = LineEndLength(record.bytes);
    if (leading > 0) {
        m_lineEnd = leading == 2 ? "\r\n" : "\n";
    } else if (record.bytes.ends_with('\n')) {
        m_lineEnd = record.bytes.ends_with("\r\n") ? "\r\n" : "\n";
    }
    int trailing = 0;
    for (std::string_view rest = record.bytes; trailing < 2 && !rest.empty() && rest.back() == '\n'; ++trailing) {
        rest.remove_suffix(rest.size() >= 2 && rest[rest.size() - 2] == '\r' ? 2 : 1);
    }
    const bool onlyLineEnds = record.bytes.find_first_not_of("\r\n") == std::string_view::npos;
    m_trailingLineEnds = std::min(2, onlyLineEnds ? m_trailingLineEnds + trailing : trailing);
    m_lastInput = record.input;
    m_lastContinues = record.continues;
}

void RecordWriter::WriteLine(const Record& record) {
    // One shape for the whole output, even when inputs come later.
    if (!m_shapeFixed) {
        m_nameInputs = m_nameInputs || m_paths.size() > 1;
        m_shapeFixed = true;
    }
    if (m_nameInputs) {
        AppendOnOneLine(m_scratch, m_paths[record.input]);
        m_scratch += ':';
        m_scratch += std::to_string(record.line);
        m_scratch += ": ";
    }
    if (record.time == 0) {
        m_scratch += '-';
    } else {
        AppendTime(record.time);
    }
    if (record.kind == RecordKind::kMessage) {
        m_scratch += ' ';
        m_scratch += LevelName(record.level);
        m_scratch += ' ';
        AppendOnOneLine(m_scratch, record.method);
        m_scratch += ": ";
    } else {
        m_scratch += " RAW: ";
    }
    AppendLongLine(record.body);
    if (record.torn) m_scratch += " [torn]";
    m_scratch += '\n';
}

std::string_view RecordWriter::NextSlice(std::string_view* text) {
    const auto isContinuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    size_t cut = std::min(text->size(), kSlice);
    // Never inside a UTF-8 sequence (at most three bytes back) or a CR LF.
    for (int back = 0; back < 3 && cut < text->size() && isContinuation((*text)[cut]); ++back) --cut;
    if (cut < text->size() && (*text)[cut] == '\n' && (*text)[cut - 1] == '\r') --cut;
    const std::string_view slice = text->substr(0, cut);
    text->remove_prefix(cut);
    return slice;
}

bool RecordWriter::WriteOutFullSlice() {
    if (m_scratch.size() < kSlice) return false;
    m_output.Write(m_scratch);
    m_scratch.clear();
    return true;
}

void RecordWriter::AppendLongLine(std::string_view text) {
    while (!text.empty()) {
        AppendOnOneLine(m_scratch, NextSlice(&text));
        WriteOutFullSlice();
    }
}

bool RecordWriter::AppendLongJsonString(std::string_view text, bool crlfToLf) {
    m_scratch += '"';
    bool held = true;
    while (!text.empty()) {
        std::string_view slice = NextSlice(&text);
        if (crlfToLf && slice.find("\r\n") != std::string_view::npos) {
            m_text.clear();
            for (;;) {
                const size_t end = slice.find("\r\n");
                m_text.append(slice.substr(0, end));
                if (end == std::string_view::npos) break;
                m_text += '\n';
                slice.remove_prefix(end + 2);
            }
            slice = m_text;
        }
        AppendJsonStringContent(m_scratch, slice, JsonBytes::kUtf8);
        if (WriteOutFullSlice()) held = false;
    }
    m_scratch += '"';
    return held;
}

void RecordWriter::AppendTime(TimeKey time) {
    if (time != m_timeOfText) {
        m_timeText.clear();
        // A stamp the calendar does not have ("2026/13/45 99:99:99"), or a
        // local time the clock skipped when summer time began, names no
        // moment: it is shown as written, not as a plausible UTC time.
        if (!m_utc || TimeOfSeconds(SecondsOf(time)) != time || !m_utcConversion.Exists(time)) {
            AppendIsoTime(m_timeText, time);
        } else {
            AppendIsoTime(m_timeText, m_utcConversion.ToUtc(time));
            m_timeText += 'Z';
        }
        m_timeOfText = time;
    }
    m_scratch += m_timeText;
}

void RecordWriter::WriteJson(const Record& record) {
    const bool isMessage = record.kind == RecordKind::kMessage;
    m_scratch += isMessage ? "{\"kind\":\"message\",\"time\":" : "{\"kind\":\"raw\",\"time\":";
    if (isMessage) {
        m_scratch += '"';
        AppendTime(record.time);
        m_scratch += "\",\"level\":\"";
        m_scratch += LevelName(record.level);
        m_scratch += "\",\"method\":";
        AppendJsonString(m_scratch, record.method, JsonBytes::kUtf8);
    } else {
        m_scratch += "null,\"level\":null,\"method\":null";
    }
    m_scratch += ",\"marking\":";
    AppendJsonOrNull(m_scratch, record.marking, !record.marking.empty());
    m_scratch += ",\"text\":";
    // The text as the caller gave it: a CR LF file's line ends, inside a
    // message too, are the C library's "\n".
    const bool crlf = LineEndLength(record.bytes) == 2;
    const size_t textAt = m_scratch.size();
    const bool textHeld = AppendLongJsonString(record.text, crlf);
    const size_t textEnd = m_scratch.size();
    m_scratch += ",\"body\":";
    if (textHeld && !crlf) {
        // The body is the marking and the text: the text escaped once
        // serves both.
        m_scratch += '"';
        AppendJsonStringContent(m_scratch, record.marking, JsonBytes::kUtf8);
        m_scratch.reserve(m_scratch.size() + textEnd - textAt);
        m_scratch.append(m_scratch.data() + textAt + 1, textEnd - textAt - 1);
    } else {
        AppendLongJsonString(record.body, false);
    }
    m_scratch += ",\"file\":";
    m_scratch += m_jsonPaths[record.input];
    m_scratch += ",\"line\":";
    char line[24];
    m_scratch.append(line, std::to_chars(line, line + sizeof line, record.line).ptr);
    m_scratch += record.torn ? ",\"torn\":true}\n" : ",\"torn\":false}\n";
}

}  // namespace kivlog
