#include "ui/shell_open.h"

#include <shellapi.h>

#include "runtime/handles.h"
#include "runtime/unicode.h"
#include "ui/hand_over.h"

namespace klw {
namespace {

class ShellHandler : public HandlerProcess {
public:
    explicit ShellHandler(HANDLE process) : process_(process) {}

    bool waitForEnd(std::uint32_t ms) override {
        // Messages sent to our windows from other threads and processes are answered while
        // waiting: a handler that sends one (a broadcast, a DDE conversation) must not stall.
        const DWORD r = MsgWaitForMultipleObjects(1, &process_, FALSE, ms, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) return true;
        if (r == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            return false;
        }
        // Nothing to wait on any more (a handle that failed): don't wait in vain.
        return r == WAIT_FAILED;
    }
    // A process that never reads input (a console program, winebrowser) is never idle; it is
    // waited for until it ends.
    bool inputIdle() override { return WaitForInputIdle(process_, 0) == 0; }
    std::uint32_t now() override { return GetTickCount(); }

private:
    HANDLE process_;
};

}  // namespace

void openWithShell(HWND owner, const std::string& text, const std::string& handlerClass) {
    const std::wstring file = wide(text);
    const std::wstring cls = wide(handlerClass);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // NOASYNC: when the shell hands the address over itself (DDE, a running handler), it
    // returns only once it is done. NOCLOSEPROCESS: the process it started, if any, to wait on.
    // FLAG_NO_UI: as the plain ShellExecute call, a failed open shows no box of the shell's.
    // Never NOZONECHECKS: Windows' own checks of files that came from elsewhere stay on.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    // The scheme's class: Wine would otherwise try the text as a program and as a file first,
    // and expand %NAME% in it.
    if (!cls.empty()) {
        info.fMask |= SEE_MASK_CLASSNAME;
        info.lpClass = cls.c_str();
    }
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = L"";
    info.lpDirectory = L"";
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);  // a failed open is the shell's own matter
    UniqueProcess process(info.hProcess);
    if (!process) return;  // no process: the shell has handed the address over itself
    ShellHandler handler(process.get());
    waitForHandOver(&handler);
}

FileLookup PlatformShellLookups::fileFor(const std::string& text) {
    const std::wstring name = wide(text);
    if (name.empty()) return FileLookup::None;
    auto look = [](const std::wstring& candidate) {
        // Room for any path the platform allows; where it allows no longer than MAX_PATH, the
        // lookup of a longer one fails, and a file may be there.
        std::wstring found(32768, L'\0');
        SetLastError(ERROR_SUCCESS);
        const DWORD n = SearchPathW(nullptr, candidate.c_str(), nullptr,
                                    static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (n > 0) return n < found.size() ? FileLookup::Found : FileLookup::Unknown;
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
            // A name the file system refuses (a ? or * in it) names no file for the shell either.
            case ERROR_INVALID_NAME:
                return FileLookup::None;
            default:
                return FileLookup::Unknown;
        }
    };
    std::wstring extensions = L".COM;.EXE;.BAT;.CMD";
    if (const DWORD n = GetEnvironmentVariableW(L"PATHEXT", nullptr, 0); n > 1) {
        std::wstring value(n, L'\0');
        const DWORD got = GetEnvironmentVariableW(L"PATHEXT", value.data(), n);
        if (got > 0 && got < n) extensions.assign(value.data(), got);
    }
    // After the program extensions, Windows also tries shortcuts.
    extensions += L";.lnk;.pif";
    FileLookup result = look(name);
    std::size_t start = 0;
    while (result == FileLookup::None && start < extensions.size()) {
        std::size_t end = extensions.find(L';', start);
        if (end == std::wstring::npos) end = extensions.size();
        if (end > start) result = look(name + extensions.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

bool PlatformShellLookups::hasVariable(std::string_view name) {
    const std::wstring wname = wide(name);
    SetLastError(ERROR_SUCCESS);
    // A variable that is set but empty still replaces its name.
    return GetEnvironmentVariableW(wname.c_str(), nullptr, 0) > 0 ||
           GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

}  // namespace klw
