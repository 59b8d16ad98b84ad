#include "ui/web_address.h"

#include "runtime/format.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool isSpaceOrControl(char32_t c) {
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// What comes after "http://": a host, not a path, a query or nothing.
bool beginsWithHost(std::string_view rest) {
    if (rest.empty()) return false;
    const char32_t c = decodeUtf8At(rest, 0).code;
    return c != '/' && c != '\\' && c != '?' && c != '#' && !isSpaceOrControl(c);
}

// The shell reads www. text as a path first: a backslash, or a part of only dots ("www./../x"),
// would take it to a file.
bool staysAName(std::string_view text) {
    if (text.find('\\') != std::string_view::npos) return false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('/', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view part = text.substr(start, end - start);
        if (!part.empty() && part.find_first_not_of('.') == std::string_view::npos) return false;
        start = end + 1;
    }
    return true;
}

// A character that would hide or disguise what the entry is: shown as a visible stand-in.
char32_t shownAs(char32_t c) {
    if (c < 0x20) return 0x2400 + c;  // the control pictures: a tab is ␉
    if (c == 0x7F) return 0x2421;
    if ((c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
        (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
        return 0xFFFD;
    return c;
}

}  // namespace

bool isWebAddress(std::string_view text) {
    if (startsWithNoCase(text, "http://")) return beginsWithHost(text.substr(7));
    if (startsWithNoCase(text, "https://")) return beginsWithHost(text.substr(8));
    if (startsWithNoCase(text, "mailto:")) return true;
    if (startsWithNoCase(text, "www.")) return staysAName(text);
    return false;
}

bool shellMayTakeForFile(std::string_view text) { return startsWithNoCase(text, "www."); }

std::string openQuestionText(std::string_view entry) {
    std::string shown;
    std::size_t at = 0;
    std::size_t chars = 0;
    while (at < entry.size() && chars < kQuestionEntryChars) {
        const DecodedChar d = decodeUtf8At(entry, at);
        appendUtf8(shownAs(d.code), shown);
        at += d.length;
        ++chars;
    }
    if (at < entry.size()) shown += "…";
    return formatText(texts::kOpenNotWebAddress, {std::string_view(shown)});
}

}  // namespace klw
