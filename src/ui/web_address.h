#pragma once
// Which entries Go opens without a question. A list from someone else, a dropped shortcut or a
// pasted list can hold a program path, a network path or a handler that runs code; only web
// addresses, and what the user added here, go to the shell unasked.
#include <string>
#include <string_view>
#include <unordered_set>

namespace klw {

// An http or https address with a host, a mailto address, or a www. name that the shell cannot
// read as a path: judged on the exact text, so that a leading space or control character makes
// it something else.
bool isWebAddress(std::string_view text);
// True for a web address that the shell tries as a file name first (a www. name): when a file of
// that name is found, it is a file, not an address.
bool shellMayTakeForFile(std::string_view text);

// The longest part of an entry the question shows, in characters.
inline constexpr std::size_t kQuestionEntryChars = 300;

// The question asked before an entry that is not a web address opens: the entry between 「 and
// 」, cut after kQuestionEntryChars characters with "…", its control characters drawn as
// visible symbols and its direction marks as U+FFFD, so that what is shown is what would run.
std::string openQuestionText(std::string_view entry);

// The texts that open without a question in this run: those the user added through the entry
// field, and those the user has said Yes to.
class TrustedEntries {
public:
    void add(std::string_view text) { texts_.emplace(text); }
    bool contains(std::string_view text) const { return texts_.count(std::string(text)) != 0; }

private:
    std::unordered_set<std::string> texts_;
};

}  // namespace klw
