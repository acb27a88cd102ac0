// Feeds arbitrary bytes to the parsers of the properties file: the line
// syntax, the value rules of the logger list and the tokeniser.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/MsgLevel.h"
#include "core/TextHelpers.h"
#include "properties/LoggerList.h"
#include "properties/PropertyLine.h"

using namespace ORVA::KIV::System::Utility::Logging;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        const PropertyLine line = ParsePropertyLine(input.substr(start, end - start));
        if (line.kind == LineKind::kKeyValue) {
            StoredLoggerList(line.value);
            FindMsgLevelName(ToUpperAscii(ApplyTrimmingRule(line.value)));
        }
        start = end + 1;
    }

    const std::string text(input);
    std::vector<std::string> names;
    ParseLoggerList(text.c_str(), &names);
    char** tokens = nullptr;
    size_t count = 0;
    if (TokenizeString("|,; ", text.c_str(), &tokens, &count)) {
        for (size_t i = 0; i < count; ++i) delete[] tokens[i];
        delete[] tokens;
    }
    return 0;
}
