#pragma once
// The question Go asks before it hands the shell an entry that is not a web address.
#include <windows.h>

#include <string>

namespace klw {

// How long the box ignores its answers after it appears: keys pressed for the walk (Enter held
// down, Enter, Tab, Enter typed ahead) are not an answer to a box the user has not seen.
constexpr DWORD kQuestionAnswerDelayMs = 300;

// Shows the question about `entry` in a box owned by `owner`, with the application title, a
// warning icon and Yes and No, No the default; Esc and closing the box answer No. Input queued
// before the box is dropped. True for Yes.
bool askToOpen(HWND owner, const std::string& entry);

}  // namespace klw
