#include "RecordWriter.h"

#include "JsonText.h"
#include "TimeText.h"

namespace kivlog {
namespace {

using kivtools::AppendJsonString;
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

void RecordWriter::Write(const Record& record) {
    if (m_form == Form::kLayout) {
        if (m_endsInsideLine) m_output.Write("\n");
        m_output.Write(record.bytes);
        m_endsInsideLine =
            !record.continues && !record.bytes.empty() && record.bytes.back() != '\n';
    } else if (record.kind != RecordKind::kBanner) {
        m_scratch.clear();
        if (m_form == Form::kLine) {
            WriteLine(record);
        } else {
            WriteJson(record);
        }
        m_output.Write(m_scratch);
    }
}

void RecordWriter::WriteLine(const Record& record) {
    // One shape for the whole output, even when inputs come later.
    if (!m_shapeFixed) {
        m_nameInputs = m_nameInputs || m_paths.size() > 1;
        m_shapeFixed = true;
    }
    if (m_nameInputs) {
        m_scratch += m_paths[record.input];
        m_scratch += ':';
        m_scratch += std::to_string(record.line);
        m_scratch += ": ";
    }
    if (record.time == 0) {
        m_scratch += '-';
    } else {
        AppendIsoTime(m_scratch, record.time);
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
    AppendOnOneLine(m_scratch, record.body);
    if (record.torn) m_scratch += " [torn]";
    m_scratch += '\n';
}

void RecordWriter::WriteJson(const Record& record) {
    const bool isMessage = record.kind == RecordKind::kMessage;
    m_scratch += isMessage ? "{\"kind\":\"message\",\"time\":" : "{\"kind\":\"raw\",\"time\":";
    if (isMessage) {
        m_scratch += '"';
        AppendIsoTime(m_scratch, record.time);
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
    AppendJsonString(m_scratch, record.text, JsonBytes::kUtf8);
    m_scratch += ",\"body\":";
    AppendJsonString(m_scratch, record.body, JsonBytes::kUtf8);
    m_scratch += ",\"file\":";
    m_scratch += m_jsonPaths[record.input];
    m_scratch += ",\"line\":";
    m_scratch += std::to_string(record.line);
    m_scratch += record.torn ? ",\"torn\":true}\n" : ",\"torn\":false}\n";
}

}  // namespace kivlog
