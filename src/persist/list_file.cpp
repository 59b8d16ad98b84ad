#include "persist/list_file.h"

#include <windows.h>

#include "persist/file_stream.h"
#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/handles.h"
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

bool ListFile::load(ListControl& list) {
    if (!listFileExists(fileName_)) return false;
    try {
        TFileStream file(fileName_, TFileStream::fmOpenRead);
        ObjectStreamReader reader(file);
        reader.ParseRoot(list);
    } catch (...) {
        loadFailed_ = true;
        throw;
    }
    return true;
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

void ListFile::writeImage(const std::string& tempName, const ListControl& list) {
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
}

void ListFile::save(const ListControl& list) {
    checkReplaceable(fileName_);
    wchar_t tempPath[MAX_PATH] = {};
    if (!GetTempFileNameW(L".", L"klw", 0, tempPath)) throwCreateError();
    const std::string tempName = narrow(tempPath);
    TempFileGuard guard(tempName);
    writeImage(tempName, list);

    checkReplaceable(fileName_);
    if (loadFailed_ && isPlainFile(fileName_)) {
        const std::string backup = backupName();
        checkReplaceable(backup);
        if (!CopyFileW(wide(fileName_).c_str(), wide(backup).c_str(), FALSE)) throwCreateError();
    }
    if (!MoveFileExW(tempPath, wide(fileName_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwCreateError();
    guard.release();
    loadFailed_ = false;
}

}  // namespace klw
