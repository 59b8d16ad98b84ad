// Records the address the shell hands over: appends the raw command-line argument (without the
// program name and its quotes), then a line feed, to klw-recorder.log in its own folder.
#include <windows.h>

#include <cstring>
#include <string>

int main() {
    std::string cmd = GetCommandLineA();
    // Skip the program name, quoted or not.
    size_t i = 0;
    if (!cmd.empty() && cmd[0] == '"') {
        i = cmd.find('"', 1);
        i = (i == std::string::npos) ? cmd.size() : i + 1;
    } else {
        while (i < cmd.size() && cmd[i] != ' ') ++i;
    }
    while (i < cmd.size() && cmd[i] == ' ') ++i;
    std::string arg = cmd.substr(i);
    if (arg.size() >= 2 && arg.front() == '"' && arg.back() == '"') arg = arg.substr(1, arg.size() - 2);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (char* slash = std::strrchr(path, '\\')) std::strcpy(slash + 1, "klw-recorder.log");
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    arg.push_back('\n');
    DWORD written = 0;
    WriteFile(f, arg.data(), static_cast<DWORD>(arg.size()), &written, nullptr);
    CloseHandle(f);
    return 0;
}
