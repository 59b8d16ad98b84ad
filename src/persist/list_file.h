#pragma once
// The list file "korlinkwalker.dat" in the current directory: its load at start-up and its safe
// save. The save never cuts or destroys the file it replaces: it writes a temporary file in the
// same folder, flushes it, and only then puts it in place in one step.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "persist/file_change.h"
#include "persist/list_control.h"
#include "runtime/stream.h"

namespace klw {

inline constexpr std::string_view kListFileName = "korlinkwalker.dat";

// Whether a directory search finds `name` as a file; a folder of that name counts as absent.
bool listFileExists(const std::string& name);

class ListFile {
public:
    // `fileName` is a bare name, resolved against the current directory at each use.
    explicit ListFile(std::string fileName = std::string(kListFileName));

    const std::string& fileName() const { return fileName_; }
    // The name under which a file that could not be loaded is kept by the next save.
    std::string backupName() const { return fileName_ + ".bak"; }

    // Reads the file into `list` when it exists (false when it does not). Raises EFOpenError or
    // the reader's error; either marks the load as failed. The file is closed in every case.
    bool load(ListControl& list);
    bool loadFailed() const { return loadFailed_; }

    // The file as it is on disk now, and as this program last read or wrote it.
    FileState currentState() const;
    const FileState& knownState() const { return known_; }
    // A version that another program put in place, which could not be read.
    const FileState& unreadableState() const { return unreadable_; }

    enum class Reload { Loaded, Unreadable, Busy };
    // Reads the file again into `list`, as another program left it. Unreadable: its content is
    // not a list, and `list` keeps its entries; the next save keeps that version beside the
    // list. Busy: the file could not be opened now (its writer still holds it).
    Reload reload(ListControl& list);

    // Replaces the file with the image of `list`. EFCreateError when the file cannot be created
    // or replaced, EWriteError when a write fails; then the file on disk is exactly as it was
    // and no temporary file is left. After a failed load, the first save that completes keeps
    // the file it replaces under backupName(). When another program has changed the file since
    // this one last read or wrote it, that version is first copied, byte for byte, beside it
    // (otherVersionName()), and the copy's name is returned; otherwise an empty string.
    std::string save(const ListControl& list);

    // Lets a test put a stream between the writer and the temporary file, for example one that
    // refuses bytes after a given offset. Empty: the writer writes to the file itself.
    using WriteFilter = std::function<std::unique_ptr<Stream>(Stream& file)>;
    void setWriteFilter(WriteFilter filter) { writeFilter_ = std::move(filter); }

private:
    [[noreturn]] void throwCreateError() const;
    // EFCreateError where creating `name` anew would fail: a folder of that name, a read-only
    // file, a file another program holds open without sharing, no permission to write it.
    void checkReplaceable(const std::string& name) const;
    // Writes the temporary file and tells what it is on disk.
    FileState writeImage(const std::string& tempName, const ListControl& list);
    std::string keepOtherVersion() const;

    std::string fileName_;
    bool loadFailed_ = false;
    FileState known_;
    FileState unreadable_;
    WriteFilter writeFilter_;
};

}  // namespace klw
