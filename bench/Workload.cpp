#include "Workload.h"

#include <charconv>
#include <cstring>
#include <memory>

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
#include <spdlog/pattern_formatter.h>
#endif

namespace kivbench {

const char* MessageText(char (&buffer)[64], int i) {
    constexpr char prefix[] = "file missing ";
    std::memcpy(buffer, prefix, sizeof prefix - 1);
    char* end = std::to_chars(buffer + sizeof prefix - 1, buffer + sizeof buffer - 1, i).ptr;
    *end = '\0';
    return buffer;
}

size_t DirectMessage::Compose(char* line, int i) {
    const std::time_t now = std::time(nullptr);
    if (now != m_second) {
        std::tm local{};
        localtime_r(&now, &local);
        std::strftime(m_stamp, sizeof m_stamp, " [%Y/%m/%d %H:%M:%S] ", &local);
        m_second = now;
    }
    char text[64];
    size_t length = 0;
    const auto put = [&](const char* piece) {
        const size_t size = std::strlen(piece);
        std::memcpy(line + length, piece, size);
        length += size;
    };
    put("\n(U) WARN");
    put(m_stamp);
    put(kMethod);
    put(":\n");
    put(kMarking);
    put(MessageText(text, i));
    put("\n\n");
    return length;
}

#if defined(KIVLOG_BENCH_WITH_SPDLOG)
void UseKivLayout(spdlog::logger& logger, const char* pattern) {
    logger.set_formatter(std::make_unique<spdlog::pattern_formatter>(pattern, spdlog::pattern_time_type::local, "\n\n"));
    logger.flush_on(spdlog::level::trace);
}
#endif

}  // namespace kivbench
