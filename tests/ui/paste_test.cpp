// Pasting a list of addresses under Wine, with real keys and the real editing menu: several
// lines pasted into the field are appended to the list and leave the field as it was; one line
// pastes into the field as ever; in the list every line is appended. And copying the selected
// entry out of the list, read back in each of the clipboard's text formats.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

#include "runtime/texts.h"
#include "runtime/unicode.h"
#include "ui/dropped_addresses.h"
#include "ui/main_window_fixture.h"
#include "widgets/clipboard.h"

namespace klw {
namespace {

using test::Events;
using test::kAlt;
using test::kCtrl;
using test::kShift;
using test::pump;
using Names = std::vector<std::string>;

// Puts text on the clipboard as CF_UNICODETEXT; empty text leaves the clipboard empty.
void setClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (!text.empty()) {
        const std::wstring w = wide(text);
        const size_t bytes = (w.size() + 1) * sizeof(wchar_t);
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(h), w.c_str(), bytes);
        GlobalUnlock(h);
        SetClipboardData(CF_UNICODETEXT, h);
    }
    CloseClipboard();
}

// Puts exactly these bytes on the clipboard as CF_UNICODETEXT: no NUL added, any size.
void setClipboardBytes(const std::string& bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    SetClipboardData(CF_UNICODETEXT, h);
    CloseClipboard();
}

std::string utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

const std::string kFiveLines =
    "https://example.com/1\r\n"
    "https://한국어.example/위키\r\n"
    "\r\n"
    "https://example.com/3\r\n"
    "https://example.com/4";
const Names kFourEntries = {"https://example.com/1", "https://한국어.example/위키",
                            "https://example.com/3", "https://example.com/4"};

class Paste : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        load({"https://before/"});
        show();
        ASSERT_EQ(focused(), form->edtTest.get());
    }
    std::pair<DWORD, DWORD> fieldSelection() const {
        DWORD from = 0, to = 0;
        SendMessageW(form->edtTest->handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        return {from, to};
    }
};

TEST_F(Paste, FiveLinesIntoTheFieldWithCtrlVBecomeFourEntries) {
    type("typed");
    press(VK_LEFT);
    press(VK_LEFT, kShift);
    const auto selection = fieldSelection();
    ASSERT_EQ(selection, std::make_pair(DWORD{3}, DWORD{4}));
    events.clear();
    setClipboard(kFiveLines);
    press('V', kCtrl);
    Names expected = {"https://before/"};
    expected.insert(expected.end(), kFourEntries.begin(), kFourEntries.end());
    EXPECT_EQ(entries(), expected);
    EXPECT_EQ(form->lbxURL->itemIndex(), 4) << "the last entry added";
    EXPECT_EQ(states(), "11101") << "refreshed; Add keeps its state while the field holds text";
    EXPECT_EQ(form->edtTest->text(), "typed");
    EXPECT_EQ(fieldSelection(), selection);
    EXPECT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(events, Events{}) << "no OnChange";
}

TEST_F(Paste, ShiftInsertInTheFieldAppendsToo) {
    setClipboard("https://a/\nhttps://b/\n");
    press(VK_INSERT, kShift);
    EXPECT_EQ(entries(), (Names{"https://before/", "https://a/", "https://b/"}));
    EXPECT_EQ(form->edtTest->text(), "");
    EXPECT_EQ(states(), "10101");
    EXPECT_EQ(events, Events{});
}

TEST_F(Paste, OneLinePastesIntoTheFieldAsBefore) {
    for (const std::string clip : {"https://one/?q=日本語", "https://one/?q=日本語\r\n"}) {
        SCOPED_TRACE(clip);
        form->edtTest->clear();
        events.clear();
        setClipboard(clip);
        press('V', kCtrl);
        EXPECT_EQ(form->edtTest->text(), "https://one/?q=日本語");
        EXPECT_EQ(events, Events{"edtTestChange"});
        EXPECT_EQ(entries(), Names{"https://before/"});
        EXPECT_EQ(states(), "01000") << "the entry-field rule ran";
    }
}

TEST_F(Paste, TheFieldsEditingMenuPastesTheLinesAsWell) {
    type("typed");
    events.clear();
    setClipboard("https://menu/1\r\nhttps://menu/2\r\n");
    // A right-click opens the platform's editing menu; P chooses Paste.
    test::rightClick(form->edtTest->handle(), 10, 6);
    test::key('P');
    pump(app, 300);
    EXPECT_EQ(entries(), (Names{"https://before/", "https://menu/1", "https://menu/2"}));
    EXPECT_EQ(form->edtTest->text(), "typed");
    EXPECT_EQ(events, Events{});
}

TEST_F(Paste, ShiftInsertAndCtrlVInTheListAppendEveryLine) {
    clickRow(0);
    ASSERT_EQ(focused(), form->lbxURL.get());
    events.clear();
    setClipboard(kFiveLines);
    press(VK_INSERT, kShift);
    Names expected = {"https://before/"};
    expected.insert(expected.end(), kFourEntries.begin(), kFourEntries.end());
    EXPECT_EQ(entries(), expected);
    EXPECT_EQ(form->lbxURL->itemIndex(), 4);
    EXPECT_EQ(states(), "10101");
    EXPECT_EQ(focused(), form->lbxURL.get());
    EXPECT_EQ(events, Events{}) << "no click: the selection was set by the program";
    // One line is enough in the list.
    setClipboard("https://one/\r\n");
    press('V', kCtrl);
    EXPECT_EQ(entries().back(), "https://one/");
    EXPECT_EQ(form->lbxURL->itemIndex(), 5);
    // Nothing on the clipboard, or no line: nothing happens.
    setClipboard("");
    press('V', kCtrl);
    setClipboard("\r\n\r\n");
    press('V', kCtrl);
    EXPECT_EQ(entries().size(), 6u);
    // Other modifiers are no paste, and type no search character either.
    setClipboard("https://not/");
    press('V', kCtrl | kShift);
    press(VK_INSERT, kCtrl);
    EXPECT_EQ(entries().size(), 6u);
    EXPECT_EQ(form->lbxURL->itemIndex(), 5);
}

TEST_F(Paste, LinesArriveWithoutTheBlanksAroundThem) {
    // Into the list, and into the field as two lines.
    clickRow(0);
    setClipboard("   https://a.example/\t\r\n\u3000https://b.example/\r\n \t\r\n");
    press('V', kCtrl);
    EXPECT_EQ(entries(), (Names{"https://before/", "https://a.example/", "https://b.example/"}));
    form->edtTest->setText("kept");
    SetFocus(form->edtTest->handle());
    pump(app);
    press('V', kCtrl);
    EXPECT_EQ(entries().size(), 5u);
    EXPECT_EQ(entries()[3], "https://a.example/");
    EXPECT_EQ(entries()[4], "https://b.example/");
    EXPECT_EQ(form->edtTest->text(), "kept");
}

TEST_F(Paste, OneAddressWithBlankLinesAroundItGoesIntoTheField) {
    // Wine's field would paste up to the first line break: nothing.
    type("ab");
    press(VK_LEFT);
    events.clear();
    setClipboard("\r\n  \r\n\u3000https://one.example/日本語\t\r\n\r\n");
    press('V', kCtrl);
    EXPECT_EQ(form->edtTest->text(), "ahttps://one.example/日本語b") << "in place of the caret";
    EXPECT_EQ(events, Events{"edtTestChange"});
    EXPECT_EQ(entries(), Names{"https://before/"});
    EXPECT_EQ(states(), "01000");
    // The paste is one change that Ctrl+Z takes back.
    press('Z', kCtrl);
    EXPECT_EQ(form->edtTest->text(), "ab");
    // Typed text stays as typed, blanks included.
    form->edtTest->clear();
    type(" x ");
    EXPECT_EQ(form->edtTest->text(), " x ");
}

// The clipboard's text block as it holds it, whole.
std::string clipboardBlock() {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        bytes.assign(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return bytes;
}

TEST_F(Paste, ClipboardBlocksAtTheEdges) {
    clickRow(0);
    // No NUL: the text ends with the block. Wine's clipboard ends such a block itself, in place
    // of its last unit: what the block holds then is what arrives.
    setClipboardBytes(utf16(L"https://a/\r\nhttps://b/"));
    const std::string held = clipboardBlock();
    ASSERT_EQ(held.size(), 44u);
    const bool endedByTheClipboard = held.substr(42) == std::string(2, '\0');
    press('V', kCtrl);
    EXPECT_EQ(entries().back(), endedByTheClipboard ? "https://b" : "https://b/");
    // An odd size: the last half unit is no character.
    setClipboardBytes(utf16(L"https://c/x") + "y");
    ASSERT_EQ(clipboardBlock().size(), 23u);
    press('V', kCtrl);
    EXPECT_EQ(entries().size(), 4u);
    EXPECT_EQ(entries().back(), "https://c/x");
}

TEST_F(Paste, TheClipboardIsReadAsADropIsRead) {
    // Formats a browser's copy leaves, read through the same decoder as a drop.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    auto put = [](UINT format, const std::string& bytes) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
        GlobalUnlock(h);
        SetClipboardData(format, h);
    };
    put(RegisterClipboardFormatW(L"text/x-moz-url"),
        utf16(L"https://moz.example/\u65e5\nThe title"));
    put(CF_UNICODETEXT, utf16(std::wstring(L"  https://text.example/\t\r\nhttps://two/") + L'\0'));
    CloseClipboard();
    {
        const ClipboardData clipboard(nullptr);
        EXPECT_TRUE(clipboard.offers(TransferFormat::MozUrl));
        EXPECT_TRUE(clipboard.offers(TransferFormat::UnicodeText));
        EXPECT_FALSE(clipboard.offers(TransferFormat::NetscapeUrl));
        EXPECT_FALSE(clipboard.block(TransferFormat::NetscapeUrl).has_value());
        // The link format comes first, as in a drop; each format's bytes as the block holds them.
        EXPECT_EQ(droppedAddresses(clipboard), Names{"https://moz.example/日"});
        const std::optional<std::string> text = clipboard.block(TransferFormat::UnicodeText);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(addressesInBlock(TransferFormat::UnicodeText, *text, ansiCodePage()),
                  (Names{"https://text.example/", "https://two/"}));
    }
    // The paste itself takes the text, tidied line by line, through the same reading.
    EXPECT_EQ(clipboardText(nullptr),
              std::optional<std::string>("  https://text.example/\t\r\nhttps://two/"));
}

// Runs `paste` while another thread holds the clipboard open.
void whileTheClipboardIsBusy(const std::function<void()>& paste) {
    std::atomic<bool> started{false}, holding{false}, release{false};
    std::thread holder([&] {
        holding = OpenClipboard(nullptr) != FALSE;
        started = true;
        while (holding && !release) Sleep(10);
        if (holding) CloseClipboard();
    });
    while (!started) Sleep(5);
    if (holding) paste();
    release = true;
    holder.join();
    EXPECT_TRUE(holding) << "another thread could not take the clipboard";
}

TEST_F(Paste, ABusyClipboardIsReportedAndChangesNothing) {
    test::DialogWatcher watcher;
    clickRow(0);
    setClipboard("https://never/");
    whileTheClipboardIsBusy([&] {
        press('V', kCtrl);
        pump(app, 300);
    });
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, std::string(texts::kCannotOpenClipboard) + ".");
    EXPECT_EQ(entries(), Names{"https://before/"});
    // Once free again, the paste works.
    press('V', kCtrl);
    EXPECT_EQ(entries().back(), "https://never/");
}

TEST_F(Paste, ABusyClipboardPastesNothingIntoTheFieldSilently) {
    test::DialogWatcher watcher;
    clickOn(*form->edtTest);
    type("abc");
    setClipboard("https://one/\r\nhttps://two/");
    whileTheClipboardIsBusy([&] {
        press('V', kCtrl);
        pump(app, 300);
    });
    EXPECT_TRUE(watcher.seen().empty()) << "as the field's own paste: no box";
    EXPECT_EQ(form->edtTest->text(), "abc");
    EXPECT_EQ(entries(), Names{"https://before/"});
    press('V', kCtrl);
    EXPECT_EQ(entries(), (Names{"https://before/", "https://one/", "https://two/"}));
}

// ---- Copy ----

// The clipboard's block of a format: the ANSI texts up to their first zero byte, any other
// whole; nothing when it does not offer the format.
std::optional<std::string> clipboardFormat(UINT format) {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::string> bytes;
    if (HANDLE h = GetClipboardData(format)) {
        bytes = std::string(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    if (bytes && (format == CF_TEXT || format == CF_OEMTEXT))
        bytes->resize(std::min(bytes->size(), bytes->find('\0')));
    return bytes;
}

const std::string kJapanese = "https://例え.jp/?q=日本語";
const std::string kEmoji = "https://e.example/😀?t=é";

class Copy : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        load({kJapanese, kEmoji});
        show();
        clickRow(0);
        ASSERT_EQ(focused(), form->lbxURL.get());
        events.clear();
    }
};

TEST_F(Copy, CtrlCAndCtrlInsertPutTheSelectedEntryOnTheClipboardExactly) {
    setClipboard("before");
    press('C', kCtrl);
    EXPECT_EQ(test::clipboardText(CF_UNICODETEXT), kJapanese);
    // The system derives the ANSI text in its own code page.
    const UINT acp = GetACP();
    ASSERT_TRUE(acp == 932 || acp == 1252) << acp;
    const std::string ansi = acp == 932 ? "https://\x97\xe1\x82\xa6.jp/?q=\x93\xfa\x96{\x8c\xea"
                                        : "https://??.jp/?q=???";
    EXPECT_EQ(clipboardFormat(CF_TEXT), ansi);
    const std::optional<std::string> locale = clipboardFormat(CF_LOCALE);
    ASSERT_TRUE(locale.has_value());
    ASSERT_GE(locale->size(), sizeof(LCID));
    LCID lcid = 0;
    std::memcpy(&lcid, locale->data(), sizeof lcid);
    wchar_t codePage[8] = {};
    GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE, codePage, 8);
    EXPECT_EQ(std::wstring(codePage), std::to_wstring(acp)) << "CF_LOCALE " << lcid;
    EXPECT_TRUE(clipboardFormat(CF_OEMTEXT).has_value());
    EXPECT_EQ(events, Events{}) << "a copy changes nothing in the window";
    EXPECT_EQ(form->lbxURL->itemIndex(), 0);

    setClipboard("before");
    press(VK_DOWN);
    press(VK_INSERT, kCtrl);
    EXPECT_EQ(test::clipboardText(CF_UNICODETEXT), kEmoji);
    // Exactly the entry's units, ended by one zero unit.
    EXPECT_EQ(clipboardFormat(CF_UNICODETEXT),
              utf16(L"https://e.example/\U0001F600?t=\u00e9") + std::string(2, '\0'));
    EXPECT_EQ(entries(), (Names{kJapanese, kEmoji})) << "the list is as it was";
}

TEST_F(Copy, WithoutASelectionTheClipboardStaysAsItWas) {
    form->lbxURL->setItemIndex(-1);
    setClipboard("kept");
    const DWORD sequence = GetClipboardSequenceNumber();
    press('C', kCtrl);
    press(VK_INSERT, kCtrl);
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << "not even emptied";
    EXPECT_EQ(test::clipboardText(CF_UNICODETEXT), "kept");
    // Other modifiers are other keys.
    form->lbxURL->setItemIndex(0);
    press('C', kCtrl | kShift);
    press('C', kCtrl | kAlt);
    EXPECT_EQ(test::clipboardText(CF_UNICODETEXT), "kept");
    EXPECT_EQ(entries(), (Names{kJapanese, kEmoji}));
}

TEST_F(Copy, ABusyClipboardIsReportedAndTheNextCopyWorks) {
    test::DialogWatcher watcher;
    setClipboard("kept");
    whileTheClipboardIsBusy([&] {
        press('C', kCtrl);
        pump(app, 300);
    });
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, std::string(texts::kCannotOpenClipboard) + ".");
    EXPECT_EQ(test::clipboardText(CF_UNICODETEXT), "kept");
    press('C', kCtrl);
    EXPECT_EQ(test::clipboardText(CF_UNICODETEXT), kJapanese);
}

}  // namespace
}  // namespace klw
