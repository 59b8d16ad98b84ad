// Records the address the shell hands over: appends the command-line argument (without the
// program name and its quotes), as UTF-8 from the wide command line, then a line feed, to
// klw-recorder.log in its own folder. What tells why a line is missing or late goes to
// klw-recorder-notes.log there: a line it could not log, with the error (it then ends with 1),
// and a line logged while other recorders were running. Options before the argument make it a
// slow handler:
//   /jitter:N   waits a random 0 to N milliseconds before it writes (handlers that race)
//   /hold:N     stays N milliseconds after it has written, never reading input (a handler that
//               neither ends nor goes idle)
#include <windows.h>

#include <functional>
#include <random>
#include <string>

#include "support/shared_log.h"

namespace {

// The number after `option` when the command line continues with it at `i`; moves past it.
bool takeOption(const std::wstring& cmd, size_t& i, const std::wstring& option, DWORD& value) {
    if (cmd.compare(i, option.size(), option) != 0) return false;
    size_t j = i + option.size();
    value = 0;
    while (j < cmd.size() && cmd[j] >= L'0' && cmd[j] <= L'9')
        value = value * 10 + (cmd[j++] - L'0');
    while (j < cmd.size() && cmd[j] == L' ') ++j;
    i = j;
    return true;
}

}  // namespace

int main() {
    std::wstring cmd = GetCommandLineW();
    // Skip the program name, quoted or not.
    size_t i = 0;
    if (!cmd.empty() && cmd[0] == L'"') {
        i = cmd.find(L'"', 1);
        i = (i == std::wstring::npos) ? cmd.size() : i + 1;
    } else {
        while (i < cmd.size() && cmd[i] != L' ') ++i;
    }
    while (i < cmd.size() && cmd[i] == L' ') ++i;
    DWORD jitter = 0;
    DWORD hold = 0;
    while (takeOption(cmd, i, L"/jitter:", jitter) || takeOption(cmd, i, L"/hold:", hold)) {
    }
    std::wstring arg = cmd.substr(i);
    if (arg.size() >= 2 && arg.front() == L'"' && arg.back() == L'"')
        arg = arg.substr(1, arg.size() - 2);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
    // Counts the recorders of this folder running: Go waits for each handler, up to a bound, so
    // they overlap only when a Go gave up waiting (or a handler never ends).
    const std::wstring name =
        L"klw-recorder-running-" + std::to_wstring(std::hash<std::wstring>{}(folder));
    HANDLE running = CreateSemaphoreW(nullptr, 0, 1 << 20, name.c_str());
    LONG others = 0;
    if (running) ReleaseSemaphore(running, 1, &others);
    if (jitter > 0) {
        std::mt19937 random(GetCurrentProcessId() ^ GetTickCount());
        Sleep(std::uniform_int_distribution<DWORD>(0, jitter)(random));
    }
    std::string line(
        static_cast<size_t>(WideCharToMultiByte(
            CP_UTF8, 0, arg.data(), static_cast<int>(arg.size()), nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, arg.data(), static_cast<int>(arg.size()), line.data(),
                        static_cast<int>(line.size()), nullptr, nullptr);
    line.push_back('\n');
    // Overlapping handlers may write at the same time.
    const DWORD error = klw::test::appendToSharedLog(folder + L"klw-recorder.log", line);
    const std::wstring notes = folder + L"klw-recorder-notes.log";
    if (error) klw::test::appendToSharedLog(notes, "error " + std::to_string(error) + ": " + line);
    if (others > 0) {
        klw::test::appendToSharedLog(
            notes, "with " + std::to_string(others) + " other recorders running: " + line);
    }
    if (!error && hold > 0) Sleep(hold);
    if (running) WaitForSingleObject(running, 0);
    return error ? 1 : 0;
}
