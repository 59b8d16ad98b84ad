#pragma once
// Helpers of the persistence tests under Wine: the real registry, the real file system, and a
// stream that refuses bytes after a given offset.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "runtime/stream.h"

namespace klw::test {

inline constexpr const char* kPositionSubKey = "SOFTWARE\\KORVANE\\LINKWALKER";

inline void deletePositionKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kPositionSubKey); }

inline bool positionKeyExists() {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPositionSubKey, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

inline void setPositionValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kPositionSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                    nullptr);
    RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(k);
}

inline void setPositionDword(const char* name, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    setPositionValue(name, REG_DWORD, &v, sizeof v);
}

// Runs a command line with its output redirected to a file, and returns that output.
inline std::string runCapturing(const std::string& commandLine) {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    char outName[MAX_PATH] = {};
    GetTempFileNameA(tmp, "out", 0, outName);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileA(outName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    std::string cmd = commandLine;
    if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 30000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(out);
    std::string text;
    HANDLE in = CreateFileA(outName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in != INVALID_HANDLE_VALUE) {
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(in, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
        CloseHandle(in);
    }
    DeleteFileA(outName);
    return text;
}

struct RegValue {
    std::string type;
    std::string data;
};

// The position key's values as the system's own "reg query" prints them (type, data).
inline std::map<std::string, RegValue> regQueryPosition() {
    const std::string out =
        runCapturing(std::string("reg.exe query \"HKCU\\") + kPositionSubKey + "\"");
    std::map<std::string, RegValue> values;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name, type, data;
        if (!(words >> name >> type)) continue;
        if (type.rfind("REG_", 0) != 0) continue;
        words >> data;
        values[name] = {type, data};
    }
    return values;
}

// A signed value as "reg query" prints a REG_DWORD.
inline std::string dwordText(std::int32_t v) {
    char buf[16];
    wsprintfA(buf, "0x%x", static_cast<unsigned>(v));
    return buf;
}

// The names in the current directory.
inline std::set<std::string> folderNames() {
    std::set<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("*", &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string n = fd.cFileName;
        if (n != "." && n != "..") names.insert(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

// Passes bytes on to another stream until `budget` bytes have gone, then takes no more, as a
// full disk would.
class WriteLimit final : public Stream {
public:
    WriteLimit(Stream& inner, std::size_t budget) : inner_(inner), budget_(budget) {}
    std::size_t read(void* buffer, std::size_t count) override {
        return inner_.read(buffer, count);
    }
    std::size_t write(const void* buffer, std::size_t count) override {
        const std::size_t put = inner_.write(buffer, std::min(count, budget_));
        budget_ -= put;
        return put;
    }
    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override {
        return inner_.seek(offset, origin);
    }

private:
    Stream& inner_;
    std::size_t budget_;
};

// Holds a file open without sharing, as another program may.
class FileLock {
public:
    explicit FileLock(const std::string& name)
        : h_(CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~FileLock() { release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return h_ != INVALID_HANDLE_VALUE; }
    void release() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

}  // namespace klw::test
