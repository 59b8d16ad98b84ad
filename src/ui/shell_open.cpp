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

void openWithShell(HWND owner, const std::string& text) {
    const std::wstring file = wide(text);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // NOASYNC: when the shell hands the address over itself (DDE, a running handler), it
    // returns only once it is done. NOCLOSEPROCESS: the process it started, if any, to wait on.
    // FLAG_NO_UI: as the plain ShellExecute call, a failed open shows no box of the shell's.
    // Never NOZONECHECKS: Windows' own checks of files that came from elsewhere stay on.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
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

bool shellFindsFile(const std::string& text) {
    const std::wstring name = wide(text);
    wchar_t found[MAX_PATH];
    auto finds = [&](const std::wstring& candidate) {
        const DWORD n = SearchPathW(nullptr, candidate.c_str(), nullptr, MAX_PATH, found, nullptr);
        return n > 0 && n < MAX_PATH && !(GetFileAttributesW(found) & FILE_ATTRIBUTE_DIRECTORY);
    };
    if (finds(name)) return true;
    // The shell also tries the name with each program extension.
    wchar_t extensions[1024];
    const DWORD n = GetEnvironmentVariableW(L"PATHEXT", extensions, 1024);
    const std::wstring list = (n > 0 && n < 1024) ? extensions : L".COM;.EXE;.BAT;.CMD";
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(L';', start);
        if (end == std::wstring::npos) end = list.size();
        if (end > start && finds(name + list.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace klw
