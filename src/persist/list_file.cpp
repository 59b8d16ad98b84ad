#include "persist/list_file.h"

#include <windows.h>

#include <vector>

#include "persist/file_stream.h"
#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/handles.h"
#include "runtime/stream.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

// Removes the temporary file when the save does not get to put it in place.
class TempFileGuard {
public:
    explicit TempFileGuard(std::string name) : name_(std::move(name)) {}
    ~TempFileGuard() {
        if (!name_.empty()) DeleteFileW(wide(name_).c_str());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void release() { name_.clear(); }

private:
    std::string name_;
};

FileState stateOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return {};
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {};
    auto join = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
    return {true, join(info.nFileSizeHigh, info.nFileSizeLow),
            join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime),
            join(info.nFileIndexHigh, info.nFileIndexLow)};
}

bool isPlainFile(const std::string& name) {
    const DWORD attrs = GetFileAttributesW(wide(name).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool listFileExists(const std::string& name) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide(name).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

ListFile::ListFile(std::string fileName) : fileName_(std::move(fileName)) {}

FileState ListFile::currentState() const {
    // Asks for no access at all: a file that its writer holds open still tells its state.
    UniqueFile file(CreateFileW(wide(fileName_).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
        return known_;  // cannot tell: taken as unchanged
    }
    return stateOf(file.get());
}

bool ListFile::load(ListControl& list) {
    if (!listFileExists(fileName_)) return false;
    // Known before the open: a file that cannot be read is still the one this run has seen.
    known_ = currentState();
    try {
        TFileStream file(fileName_, TFileStream::fmOpenRead);
        known_ = stateOf(file.handle());
        ObjectStreamReader reader(file);
        reader.ParseRoot(list);
    } catch (...) {
        loadFailed_ = true;
        throw;
    }
    return true;
}

ListFile::Reload ListFile::reload(ListControl& list) {
    std::string bytes;
    FileState state;
    try {
        TFileStream file(fileName_, TFileStream::fmOpenRead);
        state = stateOf(file.handle());
        char buffer[65536];
        while (const std::size_t got = file.read(buffer, sizeof buffer)) bytes.append(buffer, got);
    } catch (const Exception&) {
        return Reload::Busy;
    }
    std::vector<std::string> before(static_cast<std::size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i) list.entryText(i, before[static_cast<std::size_t>(i)]);
    try {
        MemoryStream in(std::move(bytes));
        ObjectStreamReader reader(in);
        reader.ParseRoot(list);
    } catch (...) {
        list.beginUpdate();
        list.clearEntries();
        for (const std::string& entry : before) list.appendEntry(entry);
        list.endUpdate();
        unreadable_ = state;
        return Reload::Unreadable;
    }
    known_ = state;
    unreadable_ = {};
    loadFailed_ = false;
    return Reload::Loaded;
}

std::string ListFile::keepOtherVersion() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const LocalTime at{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    for (int attempt = 1;; ++attempt) {
        const std::string name = otherVersionName(at, attempt);
        // Never over an earlier copy: each one may be the only place of someone's entries.
        if (CopyFileW(wide(fileName_).c_str(), wide(name).c_str(), TRUE)) return name;
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt >= 1000)
            throw EFCreateError(formatText(texts::kFCreateError, {name}));
    }
}

void ListFile::throwCreateError() const {
    throw EFCreateError(formatText(texts::kFCreateError, {fileName_}));
}

void ListFile::checkReplaceable(const std::string& name) const {
    const DWORD attrs = GetFileAttributesW(wide(name).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
        throwCreateError();
    }
    // Checked here because a process with administrator rights (or Wine run as root) may
    // otherwise replace a read-only file.
    if (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) throwCreateError();
    UniqueFile probe(CreateFileW(wide(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) throwCreateError();
}

FileState ListFile::writeImage(const std::string& tempName, const ListControl& list) {
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(tempName, TFileStream::fmCreate);
    } catch (const EFCreateError&) {
        throwCreateError();
    }
    std::unique_ptr<Stream> filtered = writeFilter_ ? writeFilter_(*file) : nullptr;
    Stream& out = filtered ? *filtered : *file;
    ObjectStreamWriter writer(out);
    writer.EmitSignature();
    writer.EmitObject(list);
    writer.flush();
    if (!file->flushToDisk()) throw EWriteError(std::string(texts::kWriteError));
    // The same file, index and all, once it is renamed into place.
    return stateOf(file->handle());
}

std::string ListFile::save(const ListControl& list) {
    checkReplaceable(fileName_);
    wchar_t tempPath[MAX_PATH] = {};
    if (!GetTempFileNameW(L".", L"klw", 0, tempPath)) throwCreateError();
    const std::string tempName = narrow(tempPath);
    TempFileGuard guard(tempName);
    const FileState written = writeImage(tempName, list);

    checkReplaceable(fileName_);
    if (loadFailed_ && isPlainFile(fileName_)) {
        const std::string backup = backupName();
        checkReplaceable(backup);
        if (!CopyFileW(wide(fileName_).c_str(), wide(backup).c_str(), FALSE)) throwCreateError();
    }
    std::string kept;
    if (changedElsewhere(known_, currentState())) kept = keepOtherVersion();
    if (!MoveFileExW(tempPath, wide(fileName_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwCreateError();
    guard.release();
    loadFailed_ = false;
    known_ = written;
    unreadable_ = {};
    return kept;
}

}  // namespace klw
