#include "logs/MessageText.h"

#include <logging/MsgLog.h>

#include <cstring>

#include "core/DateTime.h"
#include "core/MsgLevel.h"
#include "core/TextHelpers.h"

namespace ORVA::KIV::System::Utility::Logging {

bool IsNonEmpty(const char* text) {
    return text != nullptr && text[0] != '\0';
}

void MessageBuffer::Append(std::string_view piece) {
    if (m_isSpilled) {
        m_spilled.append(piece);
        return;
    }
    if (piece.size() <= kInlineCapacity - m_inlineSize) {
        std::memcpy(m_inline + m_inlineSize, piece.data(), piece.size());
        m_inlineSize += piece.size();
        return;
    }
    m_spilled.reserve(m_inlineSize + piece.size() + 64);
    m_spilled.assign(m_inline, m_inlineSize);
    m_spilled.append(piece);
    m_isSpilled = true;
}

void MessageBuffer::Append(char c) {
    Append(std::string_view(&c, 1));
}

std::string_view MessageBuffer::View() const noexcept {
    return m_isSpilled ? std::string_view(m_spilled) : std::string_view(m_inline, m_inlineSize);
}

void AppendMessageLine(MessageBuffer& out, const char* method, const char* message,
                       int levelCode, const char* marking) {
    out.Append('\n');
    out.Append(IMsgLog::STR_SC_DEFAULT);
    out.Append(MsgLevelName(levelCode));
    out.Append(CurrentDateTimeStamp());
    out.Append(IsNonEmpty(method) ? method : "unknown method");
    out.Append(":\n");
    out.Append(ViewOf(marking));
    out.Append(ViewOf(message));
    out.Append("\n\n");
}

void AppendRawText(MessageBuffer& out, const char* message, const char* marking,
                   int trailingLineEnds) {
    out.Append('\n');
    out.Append(ViewOf(marking));
    out.Append(ViewOf(message));
    for (int i = 0; i < trailingLineEnds; ++i) out.Append('\n');
}

}  // namespace ORVA::KIV::System::Utility::Logging
