#include "ui/web_address.h"

#include <vector>

#include "runtime/format.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

template <class Pred>
bool anyCharacter(std::string_view text, Pred pred) {
    for (std::size_t at = 0; at < text.size();) {
        const DecodedChar d = decodeUtf8At(text, at);
        if (pred(d.code)) return true;
        at += d.length;
    }
    return false;
}

// A character no real address holds unencoded anywhere.
bool breaksAnAddress(char32_t c) { return c == '"' || isBlank(c) || isHiddenCharacter(c); }

// What comes after "http://": a host, not a path, a query or nothing.
bool beginsWithHost(std::string_view rest) {
    if (rest.empty()) return false;
    const char c = rest.front();
    return c != '/' && c != '\\' && c != '?' && c != '#';
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

// After "mailto:": an address, then at most the parameters of a plain mail. A mail program takes
// others (attach=, attachment=) as files to send.
bool isPlainMail(std::string_view rest) {
    const std::size_t query = rest.find('?');
    if (query == std::string_view::npos) return true;
    std::string_view params = rest.substr(query + 1);
    while (true) {
        const std::size_t amp = params.find('&');
        const std::string_view param = params.substr(0, amp);
        const std::string_view name = param.substr(0, param.find('='));
        bool known = false;
        for (std::string_view plain : {"to", "cc", "bcc", "subject", "body"})
            known = known || equalsIgnoringAsciiCase(name, plain);
        if (!known) return false;
        if (amp == std::string_view::npos) return true;
        params.remove_prefix(amp + 1);
    }
}

// The visible stand-in of a hidden character: the control pictures for C0 (a tab is ␉), else
// the replacement character.
char32_t shownAs(char32_t c) {
    if (!isHiddenCharacter(c)) return c;
    if (c < 0x20) return 0x2400 + c;
    if (c == 0x7F) return 0x2421;
    return 0xFFFD;
}

void appendShown(std::string_view text, std::string& out) {
    for (std::size_t at = 0; at < text.size();) {
        const DecodedChar d = decodeUtf8At(text, at);
        appendUtf8(shownAs(d.code), out);
        at += d.length;
    }
}

}  // namespace

bool isHiddenCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x34F || c == 0x61C ||
           c == 0x115F || c == 0x1160 || c == 0x180E || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0x3164 ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 ||
           (c >= 0xE0000 && c <= 0xE007F);
}

bool holdsHiddenCharacter(std::string_view text) { return anyCharacter(text, isHiddenCharacter); }

bool isWebAddress(std::string_view text) {
    if (anyCharacter(text, breaksAnAddress)) return false;
    if (startsWithIgnoringAsciiCase(text, "http://")) return beginsWithHost(text.substr(7));
    if (startsWithIgnoringAsciiCase(text, "https://")) return beginsWithHost(text.substr(8));
    if (startsWithIgnoringAsciiCase(text, "mailto:")) return isPlainMail(text.substr(7));
    if (startsWithIgnoringAsciiCase(text, "www.")) return staysAName(text);
    return false;
}

std::string webAddressScheme(std::string_view text) {
    for (std::string_view scheme : {"http", "https", "mailto"}) {
        const std::size_t n = scheme.size();
        if (text.size() > n && text[n] == ':' && equalsIgnoringAsciiCase(text.substr(0, n), scheme))
            return std::string(scheme);
    }
    return {};
}

std::string openQuestionText(std::string_view entry) {
    // Where each character begins, to cut between characters, never inside one.
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < entry.size(); at += decodeUtf8At(entry, at).length)
        starts.push_back(at);
    std::string shown;
    if (starts.size() <= kQuestionEntryChars) {
        appendShown(entry, shown);
    } else {
        appendShown(entry.substr(0, starts[kQuestionHeadChars]), shown);
        shown += "…";
        appendShown(entry.substr(starts[starts.size() - kQuestionTailChars]), shown);
    }
    return formatText(texts::kOpenNotWebAddress, {std::string_view(shown)});
}

}  // namespace klw
