#pragma once
// The list file "korlinkwalker.dat" in the current directory: its load at start-up and its safe
// save. The save never cuts or destroys the file it replaces: it writes a temporary file in the
// same folder, flushes it, and only then puts it in place in one step.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

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

    // Replaces the file with the image of `list`. EFCreateError when the file cannot be created
    // or replaced, EWriteError when a write fails; then the file on disk is exactly as it was
    // and no temporary file is left. After a failed load, the first save that completes keeps
    // the file it replaces under backupName().
    void save(const ListControl& list);

    // Lets a test put a stream between the writer and the temporary file, for example one that
    // refuses bytes after a given offset. Empty: the writer writes to the file itself.
    using WriteFilter = std::function<std::unique_ptr<Stream>(Stream& file)>;
    void setWriteFilter(WriteFilter filter) { writeFilter_ = std::move(filter); }

private:
    [[noreturn]] void throwCreateError() const;
    // EFCreateError where creating `name` anew would fail: a folder of that name, a read-only
    // file, a file another program holds open without sharing, no permission to write it.
    void checkReplaceable(const std::string& name) const;
    void writeImage(const std::string& tempName, const ListControl& list);

    std::string fileName_;
    bool loadFailed_ = false;
    WriteFilter writeFilter_;
};

}  // namespace klw
