// Records the address the shell hands over: appends the command-line argument (without the
// program name and its quotes), as UTF-8 from the wide command line, then a line feed, to
// klw-recorder.log in its own folder.
#include <windows.h>

#include <string>

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
    std::wstring arg = cmd.substr(i);
    if (arg.size() >= 2 && arg.front() == L'"' && arg.back() == L'"')
        arg = arg.substr(1, arg.size() - 2);
    std::string line(
        static_cast<size_t>(WideCharToMultiByte(
            CP_UTF8, 0, arg.data(), static_cast<int>(arg.size()), nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, arg.data(), static_cast<int>(arg.size()), line.data(),
                        static_cast<int>(line.size()), nullptr, nullptr);
    line.push_back('\n');
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log = path;
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"klw-recorder.log";
    HANDLE f = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
    return 0;
}
