#include "core/MessageBuffer.h"

#include <cstring>

namespace ORVA::KIV::System::Utility::Logging {

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

}  // namespace ORVA::KIV::System::Utility::Logging
