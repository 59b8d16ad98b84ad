#pragma once
// What an entry's text is, read as every shell reads it: a web address, or text that may reach a
// file, a program or a variable of the environment. A list from someone else, a dropped shortcut
// or a pasted list can hold a program path, a network path or a handler that runs code.
#include <cstddef>
#include <string>
#include <string_view>

namespace klw {

// An http or https address with a host, a plain mail address, or a www. name that the shell
// cannot read as a path; judged on the exact text, with nothing after its beginning that no real
// address holds unencoded: a blank, a raw ", a control character or a hidden character. A mail
// address takes only the parameters to, cc, bcc, subject and body (an attachment is no mail).
// Whether a file or a variable answers to the text is the open policy's matter.
bool isWebAddress(std::string_view text);

// The scheme of a web address as its handler's class is named ("http", "https", "mailto"); empty
// for a www. name, which has none.
std::string webAddressScheme(std::string_view text);

// Whether `c` hides or disguises text: the control characters, direction marks and overrides,
// invisible separators and fillers, variation selectors and tags.
bool isHiddenCharacter(char32_t c);
bool holdsHiddenCharacter(std::string_view text);

// The names between two % signs in `text` (every pair of neighbouring signs), each passed to
// `defined`; true when one of them is defined, that is when the shell would expand it.
template <class Defined>
bool expandsVariable(std::string_view text, Defined defined) {
    std::size_t open = text.find('%');
    while (open != std::string_view::npos) {
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) return false;
        if (close > open + 1 && defined(text.substr(open + 1, close - open - 1))) return true;
        open = close;
    }
    return false;
}

// The most characters of an entry the question shows; a longer one is shown as its first
// kQuestionHeadChars, "…" and its last kQuestionTailChars, so that the name of what would run
// stays in view.
inline constexpr std::size_t kQuestionEntryChars = 300;
inline constexpr std::size_t kQuestionHeadChars = 140;
inline constexpr std::size_t kQuestionTailChars = kQuestionEntryChars - kQuestionHeadChars;

// The question asked before an entry that is not a web address opens: the entry between 「 and
// 」, every hidden character drawn as a visible stand-in, so that what is shown is what would run.
std::string openQuestionText(std::string_view entry);

}  // namespace klw
