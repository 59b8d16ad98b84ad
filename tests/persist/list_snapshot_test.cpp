// A snapshot of the list writes the same bytes as the list it was taken from.
#include "persist/list_snapshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "persist/memory_list_control.h"
#include "persist/object_stream_writer.h"
#include "runtime/stream.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

std::string image(const ListControl& list) {
    MemoryStream out;
    ObjectStreamWriter w(out);
    w.EmitSignature();
    w.EmitObject(list);
    w.flush();
    return out.data();
}

std::vector<std::u16string> units(const std::vector<std::string>& entries) {
    std::vector<std::u16string> out;
    for (const auto& e : entries) out.push_back(utf8ToUtf16(e));
    return out;
}

TEST(ListSnapshot, WritesWhatTheListWrites) {
    MemoryListControl list;
    const std::vector<std::string> entries{
        "http://example.com/", "", "https://ja.wikipedia.org/日本語", "Café 🍣", "\xED\xA0\xBC",
        std::string(300, 'x')};
    list.setEntries(entries);
    ListSnapshot plain(list, units(entries));
    EXPECT_EQ(image(plain), image(list));

    // Every other stored value comes along: geometry, colour, rows, names, handlers, properties.
    list.setLeft(-3);
    list.setTop(70000);
    list.setWidth(128);
    list.setColor(kClWindow);
    list.setItemHeight(17);
    list.setTabOrder(5);
    list.setImeName("IME");
    list.setName("lbxOther");
    list.removeHandler(ListEvent::DblClick);
    list.setHandler(ListEvent::KeyDown, "lbxURLKeyDown");
    list.properties().hint = "ヒント";
    list.properties().sorted = true;
    list.properties().font.name = "Arial";
    list.properties().anchors = kAkLeft | kAkBottom;
    ListSnapshot changed(list, units(entries));
    EXPECT_EQ(image(changed), image(list));
    EXPECT_NE(image(changed), image(plain));
    EXPECT_EQ(changed.handlerName(ListEvent::KeyDown), "lbxURLKeyDown");
    EXPECT_EQ(changed.handlerName(ListEvent::DblClick), "");
}

TEST(ListSnapshot, CarriesEveryHandlerUpToTheLastKind) {
    MemoryListControl list;
    list.setHandler(ListEvent::Click, "onFirst");
    list.setHandler(ListEvent::MouseUp, "onMiddle");
    list.setHandler(ListEvent::StartDrag, "lbxURLStartDrag");
    ListSnapshot snapshot(list, {});
    for (int e = 0; e < kListEventCount; ++e) {
        const auto event = static_cast<ListEvent>(e);
        EXPECT_EQ(snapshot.handlerName(event), list.handlerName(event)) << "event " << e;
    }
    EXPECT_EQ(snapshot.handlerName(ListEvent::StartDrag), "lbxURLStartDrag");
    EXPECT_EQ(image(snapshot), image(list));
}

TEST(ListSnapshot, LaterChangesOfTheListDoNotReachIt) {
    MemoryListControl list;
    list.setEntries({"a", "b"});
    ListSnapshot snapshot(list, units({"a", "b"}));
    const std::string before = image(snapshot);
    list.setEntries({"b", "a", "c"});
    list.setLeft(99);
    EXPECT_EQ(image(snapshot), before);
    EXPECT_EQ(snapshot.count(), 2);
    EXPECT_EQ(snapshot.entry(1), "b");
}

}  // namespace
}  // namespace klw
