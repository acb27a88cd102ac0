// The method name of a logging call site, computed at compile time from the
// compiler's __PRETTY_FUNCTION__ text (g++, clang and mingw-w64 g++).
//
// The result is the name as callers write it by hand:
//   - the return type, the parameter list, cv/ref qualifiers and the
//     template argument suffix (" [with T = int]", " [T = int]") are dropped;
//   - template argument lists are dropped: Box<T>::Put gives "Box::Put";
//   - namespaces are kept ("shop::OrderJob::Process"); anonymous namespaces
//     are dropped;
//   - operators keep their symbol ("Money::operator<<", "Flag::operator bool");
//     constructors and destructors read "OrderJob::OrderJob",
//     "OrderJob::~OrderJob";
//   - a lambda gives the function it is written in; a lambda outside any
//     function gives its enclosing class or namespace, or nothing at global
//     scope (the log then shows "unknown method");
//   - a member of a local class is named within its function
//     ("Report::Print::Line::Write").
#ifndef KIVLOGGING_LOGGING_MSGLOGMETHODNAME_H
#define KIVLOGGING_LOGGING_MSGLOGMETHODNAME_H

#include <cstddef>
#include <string_view>

namespace ORVA::KIV::System::Utility::Logging::Formatting {

// A NUL-terminated method name in an array as long as the signature it was
// taken from. Trivially destructible, so a static one needs no guard and no
// clean-up at exit.
template <std::size_t N>
struct MethodName {
    char m_text[N] = {};

    constexpr const char* Text() const { return m_text; }
};

namespace MethodNameParsing {

using std::string_view;
constexpr std::size_t npos = string_view::npos;

constexpr bool IsIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

constexpr bool IsOpening(char c) { return c == '(' || c == '<' || c == '[' || c == '{'; }
constexpr bool IsClosing(char c) { return c == ')' || c == '>' || c == ']' || c == '}'; }

// The index of the bracket that opens the group closed at `close`, scanning
// backwards over nested groups of any bracket kind; npos when unbalanced.
constexpr std::size_t MatchingOpen(string_view text, std::size_t close) {
    int depth = 0;
    for (std::size_t i = close + 1; i-- > 0;) {
        if (IsClosing(text[i])) ++depth;
        if (IsOpening(text[i]) && --depth == 0) return i;
    }
    return npos;
}

// The index just past the group opened at `open`, scanning forwards.
constexpr std::size_t PastGroup(string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (IsOpening(text[i])) ++depth;
        if (IsClosing(text[i]) && --depth == 0) return i + 1;
    }
    return text.size();
}

// The signature without a trailing template argument list in brackets.
constexpr string_view WithoutTemplateSuffix(string_view text) {
    if (text.empty() || text.back() != ']') return text;
    const std::size_t open = MatchingOpen(text, text.size() - 1);
    if (open == npos || open == 0 || text[open - 1] != ' ') return text;
    return text.substr(0, open - 1);
}

// For a lambda, the signature of what encloses it: g++ writes
// "f(int)::<lambda()>", clang "auto f(int)::(lambda at x.cpp:3:5)::operator()()
// const" or "auto f(int)::(anonymous class)::operator()() const".
constexpr string_view EnclosingOfLambda(string_view text) {
    std::size_t cut = npos;
    for (string_view marker : {"<lambda(", "(lambda at ", "(anonymous class)::operator()"}) {
        // Only a marker that starts a name part: one inside a template
        // argument list names a type.
        for (std::size_t at = text.find(marker); at < cut; at = text.find(marker, at + 1)) {
            if (at == 0 || text[at - 1] == ':' || text[at - 1] == ' ') cut = at;
        }
    }
    if (cut == npos) return text;
    text = text.substr(0, cut);
    if (text.ends_with("::")) text.remove_suffix(2);
    return text;
}

constexpr std::size_t OperatorKeyword(string_view text) {
    constexpr string_view keyword = "operator";
    for (std::size_t at = text.rfind(keyword); at != npos; at = at == 0 ? npos : text.rfind(keyword, at - 1)) {
        const std::size_t after = at + keyword.size();
        const bool startsWord = at == 0 || !IsIdentifierChar(text[at - 1]);
        const bool endsWord = after == text.size() || !IsIdentifierChar(text[after]);
        if (startsWord && endsWord) return at;
    }
    return npos;
}

// Whether the group closed at `close` is the operand of decltype, as in a
// "decltype(auto)" return type.
constexpr bool ClosesDecltype(string_view text, std::size_t close) {
    const std::size_t open = MatchingOpen(text, close);
    return open != npos && text.substr(0, open).ends_with("decltype");
}

// The index of the last "operator" keyword, or npos.
constexpr std::size_t OperatorKeyword(string_view text);

// Whether the name ends in a conversion operator ("operator bool", clang's
// "operator int (*)(int)"), whose type may hold brackets of its own.
constexpr bool IsConversion(string_view name) {
    constexpr std::size_t keywordSize = 8;
    const std::size_t keyword = OperatorKeyword(name);
    const string_view op = keyword == npos ? string_view() : name.substr(keyword);
    return op.size() > keywordSize + 1 && op[keywordSize] == ' ' && IsIdentifierChar(op[keywordSize + 1]);
}

// The start of the qualified name that ends at `end`: back to the blank,
// '*' or '&' that ends the return type. A blank right after a parameter list
// belongs to a function scope ("f() const::Local"), unless the list is
// decltype's.
constexpr std::size_t QualifiedNameStart(string_view text, std::size_t end) {
    for (std::size_t i = end; i-- > 0;) {
        if (IsClosing(text[i])) {
            i = MatchingOpen(text, i);
            if (i == npos) return 0;
            continue;
        }
        const bool afterParameters =
            text[i] == ' ' && i > 0 && text[i - 1] == ')' && !ClosesDecltype(text, i - 1);
        if ((text[i] == ' ' && !afterParameters) || text[i] == '*' || text[i] == '&') return i + 1;
    }
    return 0;
}

// The qualified name in a signature, still with template arguments, function
// scopes and anonymous namespaces: "shop::Box<T>::Put" from
// "void shop::Box<T>::Put(const T&) [with T = int]".
constexpr string_view QualifiedName(string_view signature) {
    string_view text = EnclosingOfLambda(WithoutTemplateSuffix(signature));
    // A function returning a reference or pointer to an array:
    // "int (& f(int))[3]". The bounds go, then the brackets around the name.
    if (text.ends_with(']')) {
        while (text.ends_with(']')) {
            const std::size_t open = MatchingOpen(text, text.size() - 1);
            if (open == npos) return {};
            text = text.substr(0, open);
        }
        if (!text.ends_with(')')) return {};
        const std::size_t open = MatchingOpen(text, text.size() - 1);
        if (open == npos) return {};
        text = text.substr(open + 1, text.size() - open - 2);
    }
    string_view name = text;
    for (std::size_t close = text.rfind(')'); close != npos; close = text.rfind(')')) {
        const std::size_t open = MatchingOpen(text, close);
        if (open == npos) return {};
        name = text.substr(0, open);
        // A function returning a function pointer: "void (*f(int))(int)".
        if (!name.ends_with(')') || name.ends_with("operator()") || IsConversion(name)) break;
        const std::size_t inner = MatchingOpen(name, name.size() - 1);
        if (inner == npos) return {};
        text = name.substr(inner + 1, name.size() - inner - 2);
        name = text;
    }
    const std::size_t keyword = OperatorKeyword(name);
    return name.substr(QualifiedNameStart(name, keyword == npos ? name.size() : keyword));
}

// Appends text to out at length, leaving template argument lists out.
template <std::size_t N>
constexpr void AppendWithoutTemplates(char (&out)[N], std::size_t& length, string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '<') {
            i = PastGroup(text, i);
            continue;
        }
        out[length++] = text[i++];
    }
}

}  // namespace MethodNameParsing

// The method name for a __PRETTY_FUNCTION__ text (see the top of this file).
template <std::size_t N>
constexpr MethodName<N> ParseMethodName(const char (&signature)[N]) {
    using namespace MethodNameParsing;
    const string_view name = QualifiedName(string_view(signature, N - 1));
    const std::size_t keyword = OperatorKeyword(name);
    const string_view scope = name.substr(0, keyword == npos ? name.size() : keyword);

    MethodName<N> result;
    std::size_t length = 0;
    for (std::size_t i = 0; i < scope.size();) {
        const string_view rest = scope.substr(i);
        if (rest.starts_with("{anonymous}::") || rest.starts_with("(anonymous namespace)::")) {
            i += rest.find("::") + 2;
        } else if (rest.starts_with("::") && length == 0) {
            i += 2;
        } else if (rest[0] == '<') {
            i = PastGroup(scope, i);
        } else if (rest[0] == '(') {
            // A function scope: its parameters and qualifiers go.
            const std::size_t next = scope.find("::", PastGroup(scope, i));
            i = next == npos ? scope.size() : next;
        } else {
            result.m_text[length++] = scope[i++];
        }
    }
    if (keyword != npos) {
        const string_view op = name.substr(keyword);
        // "operator bool", "operator std::map<K, V>": a conversion, named by
        // its type without template arguments. Anything else is a symbol.
        if (IsConversion(op)) {
            AppendWithoutTemplates(result.m_text, length, op);
        } else {
            for (char c : op) result.m_text[length++] = c;
        }
    }
    return result;
}

}  // namespace ORVA::KIV::System::Utility::Logging::Formatting

#endif  // KIVLOGGING_LOGGING_MSGLOGMETHODNAME_H
