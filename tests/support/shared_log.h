#pragma once
// Appending to a log that several processes write at once. Wine carries out FILE_APPEND_DATA as
// two steps, finding the end of the file and then writing there, so two writers at the same time
// can put their lines at the same place, and one of them is lost without an error. Here one
// writer at a time holds the log open for writing (readers are let in), and a writer that finds
// it taken tries again a moment later.
#include <windows.h>

#include <string>

namespace klw::test {

// Appends `bytes` to the file at `path` (created when missing). ERROR_SUCCESS, or the error that
// stopped it: any other than the log being held by another writer, or that one past `waitMs`.
inline DWORD appendToSharedLog(const std::wstring& path, const std::string& bytes,
                               DWORD waitMs = 10000) {
    const ULONGLONG start = GetTickCount64();
    HANDLE f = INVALID_HANDLE_VALUE;
    for (;;) {
        f = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) break;
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) return error;
        if (GetTickCount64() - start >= waitMs) return error;
        Sleep(1);
    }
    DWORD error = ERROR_SUCCESS;
    LARGE_INTEGER zero{};
    DWORD written = 0;
    if (!SetFilePointerEx(f, zero, nullptr, FILE_END)) {
        error = GetLastError();
    } else if (!WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        error = GetLastError();
    } else if (written != bytes.size()) {
        error = ERROR_WRITE_FAULT;
    }
    CloseHandle(f);
    return error;
}

}  // namespace klw::test
