// Feeds arbitrary bytes to the list file reader. Any input may fail with one of the program's
// errors; none may crash, leak, hang or leave the list in a state the writer cannot save.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "persist/memory_list_control.h"
#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "runtime/exceptions.h"

namespace {

std::string save(const klw::ListControl& control) {
    klw::MemoryStream s;
    klw::ObjectStreamWriter w(s);
    w.EmitSignature();
    w.EmitObject(control);
    w.flush();
    return s.data();
}

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    klw::MemoryListControl control;
    control.setEntries({"before"});
    klw::MemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
    {
        klw::ObjectStreamReader reader(stream);
        try {
            reader.ParseRoot(control);
        } catch (const klw::Exception&) {
            // Every failure is one of the program's errors; what was read before stays.
        }
    }
    check(stream.position() <= static_cast<std::int64_t>(size));
    check(!control.loading() && control.updateDepth() == 0);

    // Whatever state a file leaves, the next save writes a file that reads back.
    const std::string image = save(control);
    klw::MemoryListControl again;
    klw::MemoryStream back(image);
    klw::ObjectStreamReader reader(back);
    reader.ParseRoot(again);
    // ... and gives every entry back as it was, characters outside the 16-bit range included.
    check(again.count() == control.count());
    for (int i = 0; i < control.count(); ++i) check(again.entry(i) == control.entry(i));
    return 0;
}
