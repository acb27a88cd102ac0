// kivlog run as a process on logs that the library writes and on crafted
// logs: the grammar, the round trip, the filters, merging, errors and prune.
#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <regex>
#include <sstream>

#include "support/MessageMatching.h"
#include "support/PlatformFacts.h"
#include "support/ProcessRunner.h"
#include "support/ScopedLoggingSwitch.h"
#include "support/TempDirectory.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

kivtest::ProcessResult Kivlog(const std::vector<std::string>& arguments) {
    return kivtest::RunProcess(KIVLOG_TOOL_PATH, arguments, {});
}

// Standard output and standard error together.
kivtest::ProcessResult KivlogWithErrors(const std::vector<std::string>& arguments) {
    return kivtest::RunProcess(KIVLOG_TOOL_PATH, arguments, {}, kivtest::Captured::kOutputAndErrors);
}

std::string Banner(const std::string& stamp) {
    std::string banner = kivtest::kHeader;
    return banner.replace(banner.find(" [T] "), 5, " [" + stamp + "] ");
}

std::string Message(const std::string& level, const std::string& stamp, const std::string& method,
                    const std::string& body) {
    return "\n(U) " + level + " [" + stamp + "] " + method + ":\n" + body + "\n\n";
}

std::string WithCrLf(const std::string& text) {
    std::string converted;
    for (const char c : text) converted += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return converted;
}

// A random text of words, blanks, line ends and single empty lines, ending
// in up to three line ends or a CR: what the grammar reads back exactly.
std::string RandomText(std::mt19937& random) {
    static const char* const kSeparators[] = {" ", " ", "\n", "\n\n"};
    static const char* const kEndings[] = {"", "", "\r", "\n", "\n\n\n"};
    std::string text = "w" + std::to_string(random() % 1000);
    for (unsigned words = random() % 6; words > 0; --words) {
        text += kSeparators[random() % 4] + std::string("x") + std::to_string(random() % 100);
    }
    return text + kEndings[random() % 5];
}

// The text of one record in JSON: the caller's text, or as the file holds
// it (its line ends CR LF when crlf).
std::string Json(const std::string& text, bool crlf) {
    std::string json;
    for (const char c : text) {
        json += c == '\n' ? (crlf ? "\\u000d\\n" : "\\n") : c == '\r' ? "\\u000d" : std::string(1, c);
    }
    return json;
}

// The "text" field of one record, and the end of its "body" field.
std::string JsonText(const std::string& text) {
    return "\"text\":\"" + Json(text, false) + "\",\"body\":\"";
}
std::string JsonBodyEnd(const std::string& text, bool crlf) {
    return Json(text, crlf) + "\",\"file\":";
}

TEST(KivlogRoundTripTest, GivesBackEveryFileTheLibraryWritesWithEveryField) {
    for (unsigned seed = 1; seed <= 2; ++seed) {
        std::mt19937 random(seed);
        kivtest::TempDirectory directory;
        const std::string path = directory.File("kiv.log_2024-03-05_07_08_09.log");
        std::vector<std::pair<std::string, std::string>> written;  // text, expected fields
        {
            kivtest::ScopedLoggingSwitch on(true);
            IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
            for (int i = 0; i < 60; ++i) {
                const std::string text = RandomText(random);
                const char* marking = random() % 3 == 0 ? "" : (random() % 2 ? "(U) " : "(S//NF) ");
                const std::string markingJson = *marking ? std::string("\"") + marking + "\"" : "null";
                if (random() % 5 == 0) {
                    log->LogMessage(text.c_str(), marking);
                    written.emplace_back(text, "\"kind\":\"raw\",\"time\":null,\"level\":null,\"method\":null,"
                                               "\"marking\":" + markingJson);
                    continue;
                }
                const int level = static_cast<int>(random() % 5);
                const std::string method = "M" + std::to_string(i) + "::Run";
                const char* const levels[] = {"DEBUG", "INFO", "WARN", "ERROR", "FATAL"};
                void (IMsgLog::*const front[])(const char*, const char*, const char*) = {
                    &IMsgLog::Debug, &IMsgLog::Info, &IMsgLog::Warn, &IMsgLog::Error, &IMsgLog::Fatal};
                (log->*front[level])(method.c_str(), text.c_str(), marking);
                written.emplace_back(text, std::string("\"level\":\"") + levels[level] + "\",\"method\":\"" +
                                               method + "\",\"marking\":" + markingJson);
            }
            MsgLogFactory::DeleteMsgLog(&log);
        }
        const std::string native = kivtest::ReadFile(path);
        // The banner starts with a line end of the file's kind.
        const bool nativeCrLf = native.compare(0, 2, "\r\n") == 0;
        // The other line-end style, converted from the file.
        const std::string other = nativeCrLf ? kivtest::FromFileText(native) : WithCrLf(native);
        const std::string otherPath = directory.File("other.log");
        kivtest::WriteFile(otherPath, other);
        for (const auto& [file, crlf] : {std::pair(path, nativeCrLf), std::pair(otherPath, !nativeCrLf)}) {
            const std::string bytes = kivtest::ReadFile(file);
            EXPECT_EQ(Kivlog({file}).output, bytes) << "seed " << seed;
            const kivtest::ProcessResult json = Kivlog({"--json", file});
            EXPECT_EQ(json.exitCode, 0);
            EXPECT_EQ(kivtest::CountOccurrences(json.output, "\n"), written.size()) << json.output;
            std::istringstream lines(json.output);
            std::string line;
            for (const auto& [text, fields] : written) {
                std::getline(lines, line);
                EXPECT_NE(line.find(fields + "," + JsonText(text)), std::string::npos)
                    << "seed " << seed << ": " << fields << JsonText(text) << "\n" << line;
                EXPECT_NE(line.find(JsonBodyEnd(text, crlf)), std::string::npos) << line;
                EXPECT_NE(line.find("\"torn\":false"), std::string::npos) << line;
            }
        }
    }
}

// A text cannot forge a record: the library disarms its record-shaped lines
// with one blank, and kivlog reads them as part of the record they stand in,
// whatever empty lines come before.
TEST(KivlogGrammarTest, ReadsDisarmedLookalikesAsPartOfTheirMessage) {
    kivtest::TempDirectory directory;
    const std::string path = directory.File("forged.log");
    const std::string head = "(U) FATAL [2026/12/09 13:00:00] Admin::Shutdown:";
    const std::string title = "*************************************************** PLAIN-TEXT LOGGER "
                              "***************************************************";
    const std::string texts[] = {"bob\n\n\n" + head + "\n(U) database corrupted", "eve\n" + head,
                                 "mallory\n\n\n\n" + title + "\n\nDATE: [2026/12/09 13:00:00] "};
    // Raw text that looks like a head line, with or without a blank of the
    // caller's, stays a raw record of its own.
    const std::string raws[] = {head + "\n(U) raw", " " + head, "\n\n" + head};
    {
        kivtest::ScopedLoggingSwitch on(true);
        IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, path.c_str());
        for (size_t i = 0; i < std::size(texts); ++i) {
            log->Info("Login::Check", texts[i].c_str(), "(U) ");
            if (i < std::size(raws)) log->LogMessage(raws[i].c_str(), "");
        }
        MsgLogFactory::DeleteMsgLog(&log);
    }
    const kivtest::ProcessResult json = Kivlog({"--json", path});
    EXPECT_EQ(kivtest::CountOccurrences(json.output, "\n"), 6U) << json.output;
    EXPECT_EQ(kivtest::CountOccurrences(json.output, "\"kind\":\"raw\""), 3U) << json.output;
    EXPECT_NE(json.output.find(JsonText("  " + head + "\n(U) raw")), std::string::npos) << json.output;
    for (size_t i = 0; i < std::size(texts); ++i) {
        std::string disarmed = texts[i];
        for (const std::string& shape : {head, title}) {
            const size_t at = disarmed.find("\n" + shape);
            if (at != std::string::npos) disarmed.insert(at + 1, " ");
        }
        // The empty lines a raw text begins with read as the end of the
        // message before it, as they always have.
        if (raws[i].front() == '\n') disarmed += "\n\n";
        EXPECT_NE(json.output.find(JsonText(disarmed)), std::string::npos) << disarmed << "\n" << json.output;
    }
    EXPECT_NE(Kivlog({"stats", path}).output.find("FATAL 0"), std::string::npos);
}

struct GrammarCase {
    const char* name;
    std::string log;
    std::string lines;
};

TEST(KivlogGrammarTest, ReadsTornWritesConsoleOutputAndIncompleteRecords) {
    const std::string stamp = "2024/03/05 07:08:09";
    const std::string first = Message("INFO", stamp, "A::B", "(U) one");
    const std::string second = Message("ERROR", stamp, "C", "(U) two\n\nparagraph");
    const GrammarCase cases[] = {
        {"torn fragment closed by a line end", Banner(stamp) + first + second.substr(0, 30) + "\n" + second,
         "2024-03-05T07:08:09 INFO A::B: (U) one\n2024-03-05T07:08:09 RAW: (U) ERROR [2024/03/05 07:08:0 [torn]\n"
         "2024-03-05T07:08:09 ERROR C: (U) two\\n\\nparagraph\n"},
        {"console output with a program's own line and raw text", "started\n" + first + "\nraw text\n" + second,
         "- RAW: started\n2024-03-05T07:08:09 INFO A::B: (U) one\n2024-03-05T07:08:09 RAW: raw text\n"
         "2024-03-05T07:08:09 ERROR C: (U) two\\n\\nparagraph\n"},
        {"file cut inside the last message", Banner(stamp) + first + second.substr(0, 42),
         "2024-03-05T07:08:09 INFO A::B: (U) one\n2024-03-05T07:08:09 ERROR C: (U) tw [torn]\n"},
        {"binary garbage", std::string("\0\x01\xff\n\n\n\x02\n", 8) + first,
         std::string("- RAW: \0\x01\xff\n", 11) + "- RAW: \x02\n2024-03-05T07:08:09 INFO A::B: (U) one\n"},
        {"text that holds a line end of CR LF", WithCrLf(Banner(stamp) + Message("WARN", stamp, "W", "a\nb")),
         "2024-03-05T07:08:09 WARN W: a\\r\\nb\n"},
        {"a head-shaped line whose stamp holds no digits", "\n(U) INFO [    /  /     :  :  ] m:\nx\n\n",
         "- RAW: (U) INFO [    /  /     :  :  ] m:\\nx\n"},
    };
    kivtest::TempDirectory directory;
    for (const GrammarCase& test : cases) {
        const std::string path = directory.File("case.log");
        kivtest::WriteFile(path, test.log);
        const kivtest::ProcessResult result = Kivlog({"--line", path});
        EXPECT_EQ(result.exitCode, 0) << test.name;
        EXPECT_EQ(result.output, test.lines) << test.name;
        EXPECT_EQ(Kivlog({path}).output, test.log) << test.name;
    }
}

// One log of every kind of record, at distinct times.
std::string MixedLog() {
    return Banner("2024/03/05 07:00:00") + Message("DEBUG", "2024/03/05 07:00:01", "Reader::Open", "(U) d") +
           Message("INFO", "2024/03/05 08:00:00", "Reader::Close", "(S) i") + "\n(U) raw text\n\n" +
           Message("WARN", "2024/03/06 00:00:00", "Writer::Open", "(U) w\nsecond line") +
           Message("ERROR", "2024/03/07 12:30:00", "Writer::Flush", "e") +
           Message("FATAL", "2024/03/08 23:59:59", "Main", "(U) f");
}

// The texts of --line output without their markings, joined by '|'.
std::string TextsOfLines(const std::string& output) {
    std::string texts;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const size_t body = line.find(": ");
        const size_t marking = line.find(") ", body);
        texts += (texts.empty() ? "" : "|") + line.substr(marking == body + 4 ? marking + 2 : body + 2);
    }
    return texts;
}

TEST(KivlogFilterTest, SelectsRecordsByEachFilter) {
    kivtest::TempDirectory directory;
    const std::string path = directory.File("kiv.log_mixed.log");
    kivtest::WriteFile(path, MixedLog());
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--level", "warn"}, "w\\nsecond line|e|f"},
        {{"--since", "2024-03-06"}, "w\\nsecond line|e|f"},
        {{"--until", "2024-03-05T08:00"}, "d|i|raw text"},
        {{"--since", "2024-03-05 08:00:00", "--until", "2024/03/07"}, "i|raw text|w\\nsecond line|e"},
        {{"--method", "^Writer::"}, "w\\nsecond line|e"},
        {{"--grep", "^second"}, "w\\nsecond line"},
        {{"--marking", "S"}, "i"},
        {{"--marking", "(U)", "--no-raw"}, "d|w\\nsecond line|f"},
        {{"--raw"}, "raw text"},
        {{"--level", "ERROR", "--method", "Main"}, "f"},
    };
    for (const auto& [arguments, expected] : cases) {
        std::vector<std::string> command = arguments;
        command.insert(command.end(), {"--line", path});
        EXPECT_EQ(TextsOfLines(Kivlog(command).output), expected) << arguments[0] << " " << arguments[1];
    }
    // Filtered output is itself a log: banners are left out, records whole.
    EXPECT_EQ(Kivlog({"--level", "ERROR", path}).output,
              Message("ERROR", "2024/03/07 12:30:00", "Writer::Flush", "e") +
                  Message("FATAL", "2024/03/08 23:59:59", "Main", "(U) f"));
}

// The records of --json output without the input's name and line.
std::string RecordsOf(const std::string& json) {
    static const std::regex kPlace(",\"file\":\"[^\"]*\",\"line\":[0-9]+");
    return std::regex_replace(json, kPlace, "");
}

// Output that merges or filters, read again, gives the records it showed.
// Patterns match whole lines, however long; a pattern that backtracking
// engines take exponential time on either runs in linear time (RE2) or is
// refused.
TEST(KivlogFilterTest, MatchesWholeLongLinesWithoutHanging) {
    kivtest::TempDirectory directory;
    const std::string path = directory.File("long.log");
    const std::string longLine = std::string(3000, 'x') + "ERROR in the middle abc" + std::string(3000, 'y');
    kivtest::WriteFile(path, Message("INFO", "2024/03/05 07:00:00", "M", longLine) +
                                 Message("INFO", "2024/03/05 07:00:01", "M", "ERROR at the start") +
                                 Message("INFO", "2024/03/05 07:00:02", "M", std::string(100000, 'a')) +
                                 // Too long to hold: passed on in pieces, the first cut inside the line.
                                 Message("INFO", "2024/03/05 07:00:03", "M", std::string(9 << 20, 'q') + "END"));
#ifdef KIVLOG_HAS_RE2
    const std::string longMatch = longLine;
#else
    // Without RE2, lines too long for std::regex are not searched.
    const std::string longMatch;
#endif
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"^ERROR", "ERROR at the start"}, {"c$", ""}, {"abc", longMatch}, {"^x+ERROR.*y$", longMatch},
        // The cut in a line too long to hold is not its end, nor is it
        // known whether a word ends there.
        {"q$", ""},
        {"q\\b", ""}};
    for (const auto& [pattern, expected] : cases) {
        EXPECT_EQ(TextsOfLines(Kivlog({"--line", "--grep", pattern, path}).output), expected) << pattern;
    }
    const kivtest::ProcessResult nested = Kivlog({"--line", "--grep", "(a*)*z", path});
#ifdef KIVLOG_HAS_RE2
    EXPECT_EQ(nested.exitCode, 0);
    EXPECT_EQ(nested.output, "");
#else
    EXPECT_EQ(nested.exitCode, 2);
#endif
}

TEST(KivlogRereadTest, MergedAndFilteredOutputReadsBackAsShown) {
    kivtest::TempDirectory directory;
    const std::string cut = directory.File("cut.log");
    const std::string next = directory.File("next.log");
    const std::string again = directory.File("again.log");
    // The first file ends inside a record; the next one starts with its
    // banner.
    kivtest::WriteFile(cut, Banner("2024/03/05 07:00:00") + Message("INFO", "2024/03/05 07:00:01", "A", "a") +
                                "\n(U) INFO [2024/03/05 07:00:02] A:\n(U) cut sho");
    kivtest::WriteFile(next, Banner("2024/03/05 07:00:03") + Message("WARN", "2024/03/05 07:00:04", "B", "b"));
    kivtest::WriteFile(again, Kivlog({cut, next}).output);
    EXPECT_EQ(RecordsOf(Kivlog({"--json", again}).output), RecordsOf(Kivlog({"--json", cut, next}).output));
    EXPECT_NE(Kivlog({"stats", again}).output.find("records: 3 messages, 0 raw, 1 torn, 2 banners"),
              std::string::npos) << Kivlog({"stats", again}).output;

    // A torn fragment of a file log, filtered: still torn when read again.
    const std::string torn = directory.File("torn.log");
    kivtest::WriteFile(torn, Banner("2024/03/05 07:00:00") + Message("INFO", "2024/03/05 07:00:01", "A", "a") +
                                 "\n(U) ERROR [2024/03/05 07:00:0\n" +
                                 Message("WARN", "2024/03/05 07:00:02", "B", "b"));
    kivtest::WriteFile(again, Kivlog({"--since", "2024-03-05", torn}).output);
    EXPECT_EQ(RecordsOf(Kivlog({"--json", again}).output),
              RecordsOf(Kivlog({"--json", "--since", "2024-03-05", torn}).output));

    // A record too long to hold is passed on in pieces, and the pieces
    // after the first go where the filter sent the first: the whole record
    // is kept or left out, and the next record still starts a record.
    const std::string longer = directory.File("long.log");
    const std::string longError = Message("ERROR", "2024/03/05 07:00:00", "L", std::string(9 << 20, 'x'));
    const std::string longInfo = Message("INFO", "2024/03/05 07:00:01", "L", std::string(9 << 20, 'i'));
    const std::string after = Message("ERROR", "2024/03/05 07:00:02", "L", "after");
    kivtest::WriteFile(longer, longError + longInfo + after);
    const std::string filtered = Kivlog({"--level", "ERROR", longer}).output;
    EXPECT_TRUE(filtered == longError + after) << filtered.size() << " bytes";
    kivtest::WriteFile(again, filtered);
    const std::string reread = Kivlog({"--line", "--level", "ERROR", again}).output;
    EXPECT_NE(reread.find("\n2024-03-05T07:00:02 ERROR L: after\n"), std::string::npos)
        << reread.substr(reread.size() - 200);
    // The last record, whole, however long: -n counts records, not pieces.
    EXPECT_EQ(Kivlog({"-n", "1", "--level", "INFO", longer}).output, after);
    EXPECT_EQ(Kivlog({"-n", "2", longer}).output, longInfo + after);
    // -n counts the records it shows: --line shows no banners, such as the
    // one of a newest file that holds nothing else yet.
    kivtest::TempDirectory started;
    kivtest::WriteFile(started.File("kiv.log_2024-03-05_07_00_00.log"),
                       Banner("2024/03/05 07:00:00") + Message("ERROR", "2024/03/05 07:00:05", "A", "a3"));
    kivtest::WriteFile(started.File("kiv.log_2024-03-05_08_00_00.log"), Banner("2024/03/05 08:00:00"));
    const std::string last = Kivlog({"-n", "1", "--line", started.Path().string()}).output;
    EXPECT_NE(last.find("ERROR A: a3\n"), std::string::npos) << last;

    // Joins of records of CR LF files.
    const struct {
        std::vector<std::string> inputs;
        std::vector<std::string> filter;
    } joins[] = {
        {{"\r\nraw one\r\n\r\n(U) INFO [2024/03/05 07:08:09] M::m:\r\nmsg\r\n\r\n\r\nraw two\r\n\r\n"}, {"--raw"}},
        {{"\r\nhello\r\r\n", "\nw86\n\n"}, {}},
    };
    for (const auto& join : joins) {
        std::vector<std::string> command = join.filter;
        for (size_t i = 0; i < join.inputs.size(); ++i) {
            command.push_back(directory.File("join" + std::to_string(i) + ".log"));
            kivtest::WriteFile(command.back(), join.inputs[i]);
        }
        kivtest::WriteFile(again, Kivlog(command).output);
        command.insert(command.begin(), "--json");
        EXPECT_EQ(RecordsOf(Kivlog({"--json", again}).output), RecordsOf(Kivlog(command).output))
            << join.inputs[0];
    }
}

TEST(KivlogMergeTest, MergesFilesOfADirectoryInTimeOrderWhateverTheirLineEnds) {
    kivtest::TempDirectory directory;
    const std::string a = Banner("2024/03/05 07:00:00") + Message("INFO", "2024/03/05 07:00:01", "A", "a1") +
                          "\nraw after a1\n\n" + Message("INFO", "2024/03/05 07:00:03", "A", "a3");
    const std::string b = Banner("2024/03/05 07:00:01") + Message("INFO", "2024/03/05 07:00:01", "B", "b1") +
                          Message("INFO", "2024/03/05 07:00:02", "B", "b2");
    kivtest::WriteFile(directory.File("kiv.log_2024-03-05_07_00_00.log"), a);
    kivtest::WriteFile(directory.File("kiv.log_2024-03-05_07_00_00_10.log"), WithCrLf(b));
    kivtest::WriteFile(directory.File("kiv.log_2024-03-05_07_00_00_2.log"), "");
    kivtest::WriteFile(directory.File("notes.txt"), Message("FATAL", "2024/03/05 07:00:00", "N", "never read"));
    const kivtest::ProcessResult merged = Kivlog({"--json", directory.Path().string()});
    EXPECT_EQ(merged.exitCode, 0);
    std::string order;
    for (size_t at = merged.output.find("\"text\":\""); at != std::string::npos;
         at = merged.output.find("\"text\":\"", at + 1)) {
        order += merged.output.substr(at + 8, merged.output.find('"', at + 8) - at - 8) + "|";
    }
    // Equal times keep the order of the files (the "_10" file is newer than
    // "_2"); raw text stays after the record before it.
    EXPECT_EQ(order, "a1|raw after a1|b1|b2|a3|");
}

// Where a clock went back, the records a level leaves out still hold back
// the records after them: the filtered merge shows the records of the
// unfiltered merge that pass, in its order.
TEST(KivlogMergeTest, LeavesRecordsOutWithoutMovingTheRestWhereAClockWentBack) {
    kivtest::TempDirectory directory;
    kivtest::WriteFile(directory.File("kiv.log_a.log"), Message("INFO", "2024/03/05 07:00:05", "A", "a late") +
                                                            Message("ERROR", "2024/03/05 07:00:01", "A", "a back") +
                                                            Message("DEBUG", "2024/03/05 07:00:09", "A", "a later") +
                                                            Message("ERROR", "2024/03/05 07:00:02", "A", "a again"));
    kivtest::WriteFile(directory.File("kiv.log_b.log"), Message("ERROR", "2024/03/05 07:00:03", "B", "b") +
                                                            Message("WARN", "2024/03/05 07:00:06", "B", "b warn") +
                                                            Message("ERROR", "2024/03/05 07:00:07", "B", "b later"));
    const std::string dir = directory.Path().string();
    const std::string all = Kivlog({"--line", dir}).output;
    for (const std::string level : {"WARN", "ERROR"}) {
        std::string passing;
        std::istringstream lines(all);
        for (std::string line; std::getline(lines, line);) {
            const bool warn = line.find(" WARN ") != std::string::npos;
            if (line.find(" ERROR ") != std::string::npos || (warn && level == "WARN")) passing += line + "\n";
        }
        EXPECT_EQ(Kivlog({"--line", "--level", level, dir}).output, passing) << level << " of\n" << all;
    }
    // A record that starts like a DEBUG head line but is raw text (no colon
    // at its end) has no time of its own: it must not hold back the rest.
    kivtest::TempDirectory other;
    kivtest::WriteFile(other.File("kiv.log_a.log"), Message("ERROR", "2024/03/05 00:00:01", "A1", "x") +
                                                        "\n(U) DEBUG [2024/03/05 00:00:05] no colon\n\n" +
                                                        Message("ERROR", "2024/03/05 00:00:02", "A3", "y"));
    kivtest::WriteFile(other.File("kiv.log_b.log"), Message("ERROR", "2024/03/05 00:00:03", "B1", "z"));
    std::string passing;
    std::istringstream lines(Kivlog({"--line", other.Path().string()}).output);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" ERROR ") != std::string::npos) passing += line + "\n";
    }
    EXPECT_EQ(Kivlog({"--line", "--level", "ERROR", other.Path().string()}).output, passing);
}

TEST(KivlogErrorTest, ReadsWhatCanBeReadAndSaysWhatCannot) {
    kivtest::TempDirectory directory;
    const std::string log = directory.File("kiv.log_x.log");
    kivtest::WriteFile(log, MixedLog());
    // A single line far longer than what one input may hold passes through
    // in pieces, byte for byte.
    const std::string longLine = directory.File("long.log");
    kivtest::WriteFile(longLine, std::string(9 << 20, 'x') + Message("INFO", "2024/03/05 07:00:00", "L", "after"));
    const kivtest::ProcessResult pieces = Kivlog({longLine});
    EXPECT_EQ(pieces.exitCode, 0);
    EXPECT_TRUE(pieces.output == kivtest::ReadFile(longLine));

    EXPECT_EQ(Kivlog({directory.File("missing.log"), log}).output, MixedLog());
    EXPECT_EQ(Kivlog({directory.File("missing.log"), log}).exitCode, 1);
    kivtest::TempDirectory empty;
    EXPECT_EQ(Kivlog({empty.Path().string()}).exitCode, 1);
    // A name that holds control characters reaches standard error escaped.
    const kivtest::ProcessResult named = KivlogWithErrors({directory.File("a\x1b[2Jb\n.log")});
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_NE(named.output.find("a\\x1b[2Jb\\x0a.log: cannot open"), std::string::npos) << named.output;
    EXPECT_EQ(named.output.find('\x1b'), std::string::npos) << named.output;
}

// Entries of a directory that cannot be read are named and passed over:
// a symbolic link in a loop and a link into a directory without access.
TEST(KivlogErrorTest, PassesOverEntriesOfADirectoryThatCannotBeRead) {
    kivtest::TempDirectory directory;
    const std::string dir = directory.Path().string();
    kivtest::WriteFile(directory.File("kiv.log_2024-01-01_00_00_00.log"), MixedLog());
    std::error_code error;
    std::filesystem::create_symlink("kiv.log_loop.log", directory.File("kiv.log_loop.log"), error);
    if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
    std::filesystem::create_directory(directory.File("closed"));
    kivtest::WriteFile(directory.File("closed/x.log"), "x");
    std::filesystem::create_symlink("closed/x.log", directory.File("kiv.log_closed.log"));
    std::filesystem::permissions(directory.File("closed"), std::filesystem::perms::none);
    const kivtest::ProcessResult read = KivlogWithErrors({"--level", "FATAL", "--line", dir});
    EXPECT_EQ(read.exitCode, 1) << read.output;
    EXPECT_NE(read.output.find("kiv.log_loop.log: cannot open"), std::string::npos) << read.output;
    EXPECT_NE(read.output.find("FATAL Main: (U) f"), std::string::npos) << read.output;
    const kivtest::ProcessResult stats = KivlogWithErrors({"stats", dir});
    EXPECT_EQ(stats.exitCode, 1) << stats.output;
    EXPECT_NE(stats.output.find("levels: DEBUG 1 INFO 1 WARN 1 ERROR 1 FATAL 1"), std::string::npos)
        << stats.output;
    const kivtest::ProcessResult pruned = KivlogWithErrors({"prune", dir, "--keep", "0"});
    EXPECT_EQ(pruned.exitCode, 0) << pruned.output;
    EXPECT_NE(pruned.output.find("deleted "), std::string::npos) << pruned.output;
    std::filesystem::permissions(directory.File("closed"), std::filesystem::perms::owner_all);
}

#ifndef _WIN32
// A closed standard stream and the file size limit fail reads and writes
// like any other; file names are written on one line, however named.
TEST(KivlogErrorTest, ReportsClosedStreamsAndTheFileSizeLimitAndKeepsNamesOnOneLine) {
    kivtest::TempDirectory directory;
    const std::string log = directory.File("kiv.log_a\nb\\c.log");
    kivtest::WriteFile(log, MixedLog());
    kivtest::WriteFile(directory.File("kiv.log_d.log"), Message("INFO", "2024/03/05 07:00:00", "M", "d"));
    const std::string kivlog = std::string(KIVLOG_TOOL_PATH) + " ";
    const std::string limited = directory.File("limited.out");
    const std::string command = kivlog + "--line --level FATAL '" + log + "' - <&- 2>&1; echo \"status $?\"; " +
                                "ulimit -f 1; " + kivlog + "'" + log + "' '" + log + "' '" + log + "' 2>&1 > " +
                                limited + "; echo \"status $?\"; " + kivlog + "--help 2>&1 > /dev/full; echo \"help $?\"; " +
                                kivlog + "--line " + directory.Path().string();
    const std::string output = kivtest::RunProcess("/bin/bash", {"-c", command}, {}).output;
    // Standard input closed: its number is not some file's.
    EXPECT_EQ(output.find("kivlog: -: read failed: Bad file descriptor\n"), 0u) << output;
    EXPECT_NE(output.find("kiv.log_a\\nb\\\\c.log:30: 2024-03-08T23:59:59 FATAL Main: (U) f\nstatus 1\n"
                          "kivlog: cannot write to standard output\nstatus 1\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("\nkivlog: cannot write to standard output\nhelp 1\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("\nb\\c.log:"), std::string::npos) << output;
    EXPECT_NE(output.find("kiv.log_a\\nb\\\\c.log:26: 2024-03-07T12:30:00 ERROR Writer::Flush: e\n"),
              std::string::npos)
        << output;
}
#endif

TEST(KivlogCommandLineTest, ReadsOptionsValuesAndTimesAsScriptsWriteThem) {
    kivtest::TempDirectory directory;
    const std::string log = directory.File("kiv.log_x.log");
    kivtest::WriteFile(log, MixedLog());
    for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{
             {"--level", "LOUD", log}, {"--grep", "(", log}, {"--bogus", log}, {"prune", log},
             {"--since", "2024-02-30", log}, {"--since", "2023-02-29", log}, {"--until", "2024-03-05T99:99", log},
             {"--until", "2024-03-05T12:30:75", log}, {"--until", "2024-03-05T24:00", log},
             {"--since", "-5x", log}, {"--since", "tomorrow", log}, {"--json=yes", log}, {"--level"},
             {"prune", log, "--older-than", "100001"}, {"prune", log, "--max-total-size", "12T"}}) {
        EXPECT_EQ(Kivlog(usage).exitCode, 2) << usage[0] << " " << usage[1];
    }
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        // A value that looks like an option is still the value.
        {{"--grep", "--help", log}, ""},
        {{"--level=warning", log}, "w\\nsecond line|e|f"},
        {{"--level", "err", "--method=Main", log}, "f"},
        {{"--level", "Information", "--until=2024-03-05T08:00", log}, "i"},
        {{"--since", "2024-02-29", "--until", "2024-03-05T07:00:01", "--no-raw", log}, "d"},
        {{"--since", "-2d", log}, ""},
        {{"--until", "now", "--level", "FATAL", log}, "f"},
        {{"--since", "yesterday", log}, ""},
    };
    for (const auto& [arguments, expected] : cases) {
        std::vector<std::string> command = arguments;
        command.insert(command.begin(), "--line");
        const kivtest::ProcessResult result = Kivlog(command);
        EXPECT_EQ(result.exitCode, 0) << arguments[0] << " " << arguments[1];
        EXPECT_EQ(TextsOfLines(result.output), expected) << arguments[0] << " " << arguments[1];
    }
    // After "--" every argument is a path.
    const kivtest::ProcessResult ended = Kivlog({"--level", "FATAL", "--line", log, "--", "--json"});
    EXPECT_EQ(ended.exitCode, 1);
    EXPECT_NE(ended.output.find("FATAL Main: (U) f\n"), std::string::npos) << ended.output;
    const kivtest::ProcessResult help = Kivlog({"stats", "--level", "ERROR", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("usage: kivlog", 0), 0u) << help.output;
}

// --utc writes the local times as written in UTC, by the zone of the
// machine that reads, summer time included.
TEST(KivlogOutputTest, WritesTimesInUtcByTheReadersZone) {
    kivtest::TempDirectory directory;
    const std::string log = directory.File("kiv.log_x.log");
    kivtest::WriteFile(log, Message("INFO", "2024/03/05 07:08:09", "M", "winter") +
                                Message("INFO", "2024/07/05 00:30:00", "M", "summer") +
                                Message("INFO", "2026/13/45 99:99:99", "M", "nowhen") +
                                Message("INFO", "2024/03/31 01:59:59", "M", "before gap") +
                                Message("INFO", "2024/03/31 02:30:00", "M", "in gap") +
                                Message("INFO", "2024/03/31 03:00:00", "M", "after gap") +
                                Message("INFO", "2024/03/31 02:59:59", "M", "in gap again"));
    const kivtest::EnvironmentChanges zone = {{"TZ", std::string("CET-1CEST,M3.5.0,M10.5.0/3")}};
    const kivtest::ProcessResult json = kivtest::RunProcess(KIVLOG_TOOL_PATH, {"--json", "--utc", log}, zone);
    EXPECT_NE(json.output.find("\"time\":\"2024-03-05T06:08:09Z\""), std::string::npos) << json.output;
    const kivtest::ProcessResult line = kivtest::RunProcess(KIVLOG_TOOL_PATH, {"--line", "--utc", log}, zone);
    EXPECT_NE(line.output.find("2024-03-05T06:08:09Z INFO M: winter\n"), std::string::npos) << line.output;
    EXPECT_NE(line.output.find("2026-13-45T99:99:99 INFO M: nowhen\n"), std::string::npos) << line.output;
#ifndef _WIN32
    // The C runtime of Windows knows no rules of summer time in TZ.
    EXPECT_NE(line.output.find("2024-07-04T22:30:00Z INFO M: summer\n"), std::string::npos) << line.output;
    // No clock showed 02:00 to 02:59 on 2024/03/31: such a stamp names no
    // moment.
    EXPECT_NE(line.output.find("2024-03-31T00:59:59Z INFO M: before gap\n"), std::string::npos) << line.output;
    EXPECT_NE(line.output.find("2024-03-31T02:30:00 INFO M: in gap\n"), std::string::npos) << line.output;
    EXPECT_NE(line.output.find("2024-03-31T01:00:00Z INFO M: after gap\n"), std::string::npos) << line.output;
    EXPECT_NE(line.output.find("2024-03-31T02:59:59 INFO M: in gap again\n"), std::string::npos) << line.output;
    EXPECT_NE(json.output.find("\"time\":\"2024-03-31T02:30:00\""), std::string::npos) << json.output;
#endif
    EXPECT_NE(Kivlog({"--line", log}).output.find("2024-03-05T07:08:09 INFO M: winter\n"), std::string::npos);
}

TEST(KivlogStatsTest, SummarisesLevelsMethodsAndTime) {
    kivtest::TempDirectory directory;
    const std::string log = directory.File("kiv.log_x.log");
    kivtest::WriteFile(log, MixedLog() + "\n(U) INFO [2024/03/09 00:00:00] Main:\n(U) cut");
    const std::string stats = Kivlog({"stats", log}).output;
    for (const char* expected :
         {"records: 6 messages, 1 raw, 1 torn, 1 banners", "levels: DEBUG 1 INFO 2 WARN 1 ERROR 1 FATAL 1",
          "first: 2024-03-05T07:00:01\nlast:  2024-03-09T00:00:00", "         2  Main\n",
          "messages per 6 hours", "2024-03-07T12:00:00      0      0      0      1      0  E"}) {
        EXPECT_NE(stats.find(expected), std::string::npos) << expected << "\n" << stats;
    }

    // A message too long to hold, passed on in pieces, is one message.
    kivtest::WriteFile(log, Message("INFO", "2024/03/05 07:00:00", "L", std::string(9 << 20, 'x')) +
                                Message("INFO", "2024/03/05 07:00:01", "L", "after"));
    const std::string pieces = Kivlog({"stats", log}).output;
    EXPECT_NE(pieces.find("records: 2 messages, 0 raw, 0 torn, 0 banners"), std::string::npos) << pieces;

    // Messages thousands of years apart draw a few rows, not one per month.
    kivtest::WriteFile(log, Message("INFO", "0001/01/01 00:00:00", "M", "a") +
                                Message("INFO", "9999/12/31 23:59:59", "M", "b"));
    const std::string wide = Kivlog({"stats", log}).output;
    EXPECT_LT(std::count(wide.begin(), wide.end(), '\n'), 40) << wide.substr(0, 2000);
    EXPECT_EQ(kivtest::CountOccurrences(wide, "      0      1      0      0      0  -"), 2u) << wide;

    // Messages in more distinct seconds than the histogram keeps bins for:
    // each interval still holds the messages of its own time.
    for (const int apart : {1, 60}) {
        std::string many;
        for (int i = 0; i < 5000; ++i) {
            const int at = i * apart;
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "2024/03/%02d %02d:%02d:%02d", 5 + at / 86400, at / 3600 % 24,
                          at / 60 % 60, at % 60);
            many += Message("INFO", stamp, "M", "m");
        }
        kivtest::WriteFile(log, many);
        const std::string rows = Kivlog({"stats", log}).output;
        std::istringstream lines(rows.substr(rows.find("start ")));
        std::string line;
        std::getline(lines, line);
        unsigned long long total = 0;
        int count = 0;
        while (std::getline(lines, line)) {
            ASSERT_EQ(line.substr(0, 8), "2024-03-") << line << "\n" << rows;
            total += std::stoull(line.substr(27, 7));
            ++count;
        }
        EXPECT_EQ(total, 5000u) << rows;
        EXPECT_LE(count, 30) << rows;
    }

    // An interval that starts before year 0 shows its year with a sign.
    kivtest::WriteFile(log, Message("INFO", "0000/01/01 00:00:00", "M", "a") +
                                Message("INFO", "0000/03/01 00:00:00", "M", "b"));
    const std::string early = Kivlog({"stats", log}).output;
    EXPECT_NE(early.find("\n-0001-12-"), std::string::npos) << early;
}

TEST(KivlogPruneTest, DeletesOldLibraryLogsButNeitherOpenOnesNorForeignNames) {
    kivtest::TempDirectory directory;
    const std::vector<std::string> foreign = {"kiv.log_notes.log", "kiv.log_2024-01-01_00_00_00_1.log",
                                              "kiv.log_2024-01-01_00_00_00_1000.log", "kiv.log_2019-13-45_99_99_99.log",
                                              "kiv.log_2019-00-01_00_00_00.log", "other.txt"};
    for (const std::string& name : foreign) kivtest::WriteFile(directory.File(name), "x");
    for (const char* name : {"kiv.log_2024-01-01_00_00_00.log", "kiv.log_2024-01-01_00_00_00_2.log",
                             "kiv.log_2024-01-02_00_00_00.log", "kiv.log_2024-01-04_00_00_00.log"}) {
        kivtest::WriteFile(directory.File(name), "x");
    }
    kivtest::ScopedLoggingSwitch on(true);
    const std::string live = directory.File("kiv.log_2024-01-03_00_00_00.log");
    IMsgLog* log = MsgLogFactory::NewMsgLog(IMsgLog::MSG_LOG_PLAIN_FILE, live.c_str());
    const std::string dir = directory.Path().string();
    // A dry run says what the real run does with the live file.
    EXPECT_NE(Kivlog({"prune", dir, "--keep", "1", "--dry-run"}).output.find("would skip " + live),
              std::string::npos);
    // So many days ago that the time would overflow: nothing is that old.
    EXPECT_EQ(Kivlog({"prune", dir, "--older-than", "99999"}).output, "");
    const kivtest::ProcessResult pruned = Kivlog({"prune", dir, "--keep", "1"});
    EXPECT_EQ(pruned.exitCode, 0) << pruned.output;
    EXPECT_NE(pruned.output.find("skipped " + live), std::string::npos) << pruned.output;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(directory.Path())) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected = foreign;
    expected.insert(expected.end(), {"kiv.log_2024-01-03_00_00_00.log", "kiv.log_2024-01-04_00_00_00.log"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
    MsgLogFactory::DeleteMsgLog(&log);
    // The newest files that fit the size stay: two of five bytes each.
    kivtest::WriteFile(live, "12345");
    kivtest::WriteFile(directory.File("kiv.log_2024-01-04_00_00_00.log"), "12345");
    kivtest::WriteFile(directory.File("kiv.log_2024-01-05_00_00_00.log"), "1234");
    const kivtest::ProcessResult sized = Kivlog({"prune", dir, "--max-total-size=9"});
    EXPECT_EQ(sized.output, "deleted " + live + "\n");
    EXPECT_EQ(Kivlog({"prune", dir, "--older-than", "0", "--max-total-size", "1G"}).exitCode, 0);
    // Only the foreign names are left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.Path()), {}),
              static_cast<std::ptrdiff_t>(foreign.size()));
}

}  // namespace
