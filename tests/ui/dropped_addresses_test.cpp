#include "ui/dropped_addresses.h"

#include <gtest/gtest.h>

#include <functional>

#include "runtime/unicode.h"
#include "ui/transfer_fakes.h"

namespace klw {
namespace {

using test::ExactBlock;
using test::FakeTransfer;
using test::utf16Bytes;
using Lines = std::vector<std::string>;
using F = TransferFormat;

const std::string kJapanese = "https://ja.wikipedia.org/wiki/日本語";
const std::string kCafe = "https://fr.wikipedia.org/wiki/Café";
#ifdef _WIN32
// Under Wine these tests run with the Japanese ANSI code page only.
const CodePage* codePage(int number) { return number == 932 ? &ansiCodePage() : nullptr; }
#else
const CodePage* codePage(int number) { return &nativeCodePage(number); }
#endif

// "日本語" in Shift-JIS.
const std::string kJapaneseSjis = "https://ja.wikipedia.org/wiki/\x93\xFA\x96\x7B\x8C\xEA";

TEST(SplitAddresses, EveryKindOfLineBreakEndsALine) {
    EXPECT_EQ(splitAddresses("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    // CR then CR LF: two breaks, the empty line between them skipped.
    EXPECT_EQ(splitAddresses("a\r\r\nb"), (Lines{"a", "b"}));
    // LF then CR is two breaks as well, not one.
    EXPECT_EQ(splitAddresses("a\n\rb"), (Lines{"a", "b"}));
}

TEST(SplitAddresses, TrailingBreaksAndEmptyLinesGiveNoEntries) {
    EXPECT_EQ(splitAddresses("a\r\n"), Lines{"a"});
    EXPECT_EQ(splitAddresses("a\n"), Lines{"a"});
    EXPECT_EQ(splitAddresses("a\r"), Lines{"a"});
    EXPECT_EQ(splitAddresses("\r\n\r\na\n\n\rb\r\r\n\n"), (Lines{"a", "b"}));
    EXPECT_EQ(splitAddresses("\r\n\n\r"), Lines{});
    EXPECT_EQ(splitAddresses(""), Lines{});
}

TEST(SplitAddresses, BlanksAroundALineGoAndBlankLinesAreSkippedDuplicatesStay) {
    EXPECT_EQ(splitAddresses(" a \r\n\tb\t\r\n \r\na"), (Lines{"a", "b", "a"}));
    // No-break space and the ideographic space, alone, mixed and repeated.
    EXPECT_EQ(splitAddresses("\xC2\xA0https://a.example/\xC2\xA0\n"
                             "\xE3\x80\x80https://b.example/\xE3\x80\x80\xE3\x80\x80\n"
                             " \t\xC2\xA0\xE3\x80\x80 c\t\xE3\x80\x80\n"
                             "\xE3\x80\x80\xC2\xA0\t \r\n"),
              (Lines{"https://a.example/", "https://b.example/", "c"}));
}

TEST(SplitAddresses, BlanksInsideAndOtherSpacesStay) {
    // Inside a line nothing is touched; the zero-width space (U+200B) and the next-line
    // character (U+0085) are no blanks: they stay, to be shown by the question.
    EXPECT_EQ(splitAddresses("https://a/ b\t\xE3\x80\x80"
                             "c"),
              Lines{"https://a/ b\t\xE3\x80\x80"
                    "c"});
    EXPECT_EQ(splitAddresses("\xE2\x80\x8B"
                             "a\xE2\x80\x8B"),
              Lines{"\xE2\x80\x8B"
                    "a\xE2\x80\x8B"});
    // The same blanks as the address rule's: the em space (U+2003), the narrow no-break space
    // (U+202F) and the Ogham space mark (U+1680) go too.
    EXPECT_EQ(splitAddresses("\xE2\x80\x83"
                             "a\xE2\x80\xAF\xE1\x9A\x80"),
              Lines{"a"});
    EXPECT_EQ(splitAddresses("\xC2\x85"
                             "a"),
              Lines{"\xC2\x85"
                    "a"});
    // Bytes that only begin a blank are no blank.
    EXPECT_EQ(trimLine("\xE3\x80"
                       "a"),
              "\xE3\x80"
              "a");
    EXPECT_EQ(trimLine("a\xC2"), "a\xC2");
    EXPECT_EQ(trimLine("a\x80\x80"), "a\x80\x80");
    EXPECT_EQ(trimLine(""), "");
    EXPECT_EQ(trimLine("\xE3\x80\x80"), "");
}

TEST(SplitAddresses, ANulEndsTheText) {
    EXPECT_EQ(splitAddresses(std::string_view("a\nb\0c\nd", 7)), (Lines{"a", "b"}));
    EXPECT_EQ(splitAddresses(std::string_view("\0a", 2)), Lines{});
}

TEST(SplitAddresses, TenThousandLinesInOrder) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "https://example.com/" + std::to_string(i) + "\r\n";
    const Lines lines = splitAddresses(text);
    ASSERT_EQ(lines.size(), 10000u);
    EXPECT_EQ(lines.front(), "https://example.com/0");
    EXPECT_EQ(lines[4711], "https://example.com/4711");
    EXPECT_EQ(lines.back(), "https://example.com/9999");
}

TEST(FirstLine, StopsAtTheFirstBreakOrNul) {
    EXPECT_EQ(firstLine("a\nb"), "a");
    EXPECT_EQ(firstLine("a\r\nb"), "a");
    EXPECT_EQ(firstLine("a\rb"), "a");
    EXPECT_EQ(firstLine(std::string_view("a\0b", 3)), "a");
    EXPECT_EQ(firstLine("\na"), "");
    EXPECT_EQ(firstLine("abc"), "abc");
}

// ---- .url files ----

std::string shortcut(std::string_view url, std::string_view eol) {
    std::string s = "[InternetShortcut]";
    s += eol;
    s += "URL=";
    s += url;
    s += eol;
    s += "IDList=";
    s += eol;
    return s;
}

TEST(InternetShortcut, CrLfAndLfFiles) {
    EXPECT_EQ(
        internetShortcutUrl(ExactBlock(shortcut("https://a/", "\r\n")).view(), ansiCodePage()),
        "https://a/");
    EXPECT_EQ(internetShortcutUrl(ExactBlock(shortcut("https://a/", "\n")).view(), ansiCodePage()),
              "https://a/");
    // The last line without a break, and a file of CR only.
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\r\nURL=https://b/", ansiCodePage()),
              "https://b/");
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\rURL=https://c/\r", ansiCodePage()),
              "https://c/");
}

TEST(InternetShortcut, NonAsciiAddressInEveryEncodingTheProfileReaderKnows) {
    const std::string utf8 = shortcut(kJapanese, "\r\n");
    EXPECT_EQ(internetShortcutUrl("\xEF\xBB\xBF" + utf8, ansiCodePage()), kJapanese);
    EXPECT_EQ(internetShortcutUrl("\xFF\xFE" + utf16Bytes(utf8ToUtf16(utf8)), ansiCodePage()),
              kJapanese);
    std::string bigEndian;
    for (char16_t u : utf8ToUtf16(utf8)) {
        bigEndian.push_back(static_cast<char>(u >> 8));
        bigEndian.push_back(static_cast<char>(u & 0xFF));
    }
    EXPECT_EQ(internetShortcutUrl("\xFE\xFF" + bigEndian, ansiCodePage()), kJapanese);
    // Without a byte order mark the file is in the ANSI code page.
    EXPECT_EQ(internetShortcutUrl(shortcut(kJapaneseSjis, "\r\n"), ansiCodePage()), kJapanese);
#ifndef _WIN32
    EXPECT_EQ(internetShortcutUrl(shortcut("https://fr.wikipedia.org/wiki/Caf\xE9", "\n"),
                                  nativeCodePage(1252)),
              kCafe);
#endif
}

TEST(InternetShortcut, WithoutAUrlKeyThereIsNoAddress) {
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\r\nIDList=\r\nURLX=a\r\n", ansiCodePage()),
              "");
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\r\nURL=\r\n", ansiCodePage()), "");
    EXPECT_EQ(internetShortcutUrl("URL=https://before-any-section/\r\n", ansiCodePage()), "");
    EXPECT_EQ(internetShortcutUrl("[Other]\r\nURL=https://other/\r\n", ansiCodePage()), "");
    EXPECT_EQ(internetShortcutUrl("", ansiCodePage()), "");
    EXPECT_EQ(internetShortcutUrl("\xFF\xFE", ansiCodePage()), "");
}

TEST(InternetShortcut, NamesWithoutRegardToCaseAndBlanksAroundThem) {
    EXPECT_EQ(internetShortcutUrl("  [ internetSHORTCUT ]  \n\t url \t=  https://a/?q=1 b \t\n",
                                  ansiCodePage()),
              "https://a/?q=1 b");
    // One pair of enclosing quotes goes, as the profile functions drop it.
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\nURL=\"https://q/\"\n", ansiCodePage()),
              "https://q/");
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\nURL='https://q/'\n", ansiCodePage()),
              "https://q/");
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\nURL=\"https://q/\n", ansiCodePage()),
              "\"https://q/");
    // Everything after the first "=" is the value.
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\nURL=https://a/?x=1&y=2\n", ansiCodePage()),
              "https://a/?x=1&y=2");
}

TEST(InternetShortcut, TheFirstSectionAndTheFirstKeyCount) {
    const std::string file =
        "[Other]\r\nURL=https://other/\r\n"
        "[InternetShortcut]\r\nIconIndex=0\r\nURL=https://first/\r\nURL=https://second/\r\n"
        "[InternetShortcut]\r\nURL=https://third/\r\n";
    EXPECT_EQ(internetShortcutUrl(file, ansiCodePage()), "https://first/");
    EXPECT_EQ(internetShortcutUrl("[InternetShortcut]\r\n[InternetShortcut]\r\nURL=https://x/\r\n",
                                  ansiCodePage()),
              "");
}

TEST(InternetShortcut, ANulEndsTheFile) {
    EXPECT_EQ(internetShortcutUrl(std::string("[InternetShortcut]\nURL=https://a/\0b\n", 35),
                                  ansiCodePage()),
              "https://a/");
    EXPECT_EQ(internetShortcutUrl(std::string("[InternetShortcut]\n\0URL=https://a/\n", 35),
                                  ansiCodePage()),
              "");
}

TEST(InternetShortcut, FileNames) {
    EXPECT_TRUE(isInternetShortcutFile("C:\\links\\Wiki.url"));
    EXPECT_TRUE(isInternetShortcutFile("C:\\links\\日本語.URL"));
    EXPECT_TRUE(isInternetShortcutFile(".url"));
    EXPECT_FALSE(isInternetShortcutFile("C:\\links\\Wiki.url.txt"));
    EXPECT_FALSE(isInternetShortcutFile("C:\\links\\url"));
    EXPECT_FALSE(isInternetShortcutFile("rl"));
}

// ---- Formats and their order ----

TEST(AddressesInBlock, LinkFormatsGiveTheirFirstLine) {
    // Firefox's text/x-moz-url: the address, LF, the title; no NUL.
    const std::string mozUrl = utf16Bytes(u"https://fr.wikipedia.org/wiki/Café\nCafé — Wikipédia");
    EXPECT_EQ(addressesInBlock(F::MozUrl, ExactBlock(mozUrl).view(), ansiCodePage()), Lines{kCafe});
    const std::string netscape = kJapanese + "\n日本語 - Wikipedia";
    EXPECT_EQ(addressesInBlock(F::NetscapeUrl, ExactBlock(netscape).view(), ansiCodePage()),
              Lines{kJapanese});
    EXPECT_EQ(addressesInBlock(F::UniformResourceLocatorW,
                               ExactBlock(utf16Bytes(u"https://a/\r\nhttps://b/")).view(),
                               ansiCodePage()),
              Lines{"https://a/"});
    EXPECT_EQ(
        addressesInBlock(F::UniformResourceLocator,
                         ExactBlock(kJapaneseSjis + std::string(1, '\0')).view(), ansiCodePage()),
        Lines{kJapanese});
    // No address on the first line: nothing, whatever follows.
    EXPECT_EQ(
        addressesInBlock(F::MozUrl, ExactBlock(utf16Bytes(u"\nhttps://a/")).view(), ansiCodePage()),
        Lines{});
}

TEST(AddressesInBlock, TextFormatsGiveEveryLine) {
    const std::string text = kJapanese + "\r\n\r\n" + kCafe + "\n";
    EXPECT_EQ(addressesInBlock(F::PlainTextUtf8, ExactBlock(text).view(), ansiCodePage()),
              (Lines{kJapanese, kCafe}));
    EXPECT_EQ(
        addressesInBlock(F::UnicodeText,
                         ExactBlock(utf16Bytes(utf8ToUtf16(text)) + std::string(2, '\0')).view(),
                         ansiCodePage()),
        (Lines{kJapanese, kCafe}));
    EXPECT_EQ(
        addressesInBlock(F::Text, ExactBlock(kJapaneseSjis + "\r\nb\r\n").view(), ansiCodePage()),
        (Lines{kJapanese, "b"}));
}

TEST(AddressesInBlock, BlanksAroundAreTakenOffInEveryFormat) {
    // "   https://a.example/\t" and "\u3000https://b.example/" as each encoding carries them.
    const Lines expected{"https://a.example/", "https://b.example/"};
    const std::u16string text = u"   https://a.example/\t\r\n\u3000https://b.example/\r\n";
    EXPECT_EQ(addressesInBlock(F::UnicodeText, ExactBlock(utf16Bytes(text)).view(), ansiCodePage()),
              expected);
    EXPECT_EQ(
        addressesInBlock(F::PlainTextUtf8, ExactBlock(utf16ToUtf8(text)).view(), ansiCodePage()),
        expected);
    // U+3000 in Shift-JIS is 81 40; the no-break space in 1252 is A0.
    EXPECT_EQ(
        addressesInBlock(F::Text,
                         ExactBlock("   https://a.example/\t\r\n\x81\x40https://b.example/").view(),
                         *codePage(932)),
        expected);
    if (const CodePage* western = codePage(1252)) {
        EXPECT_EQ(
            addressesInBlock(
                F::Text, ExactBlock("\xA0https://a.example/\xA0\r\n\thttps://b.example/ ").view(),
                *western),
            expected);
    }
    // A link format's first line too; a first line of blanks is no address.
    EXPECT_EQ(addressesInBlock(F::MozUrl,
                               ExactBlock(utf16Bytes(u"\u3000https://b.example/ \ntitle")).view(),
                               ansiCodePage()),
              Lines{"https://b.example/"});
    EXPECT_EQ(
        addressesInBlock(F::NetscapeUrl, ExactBlock(" \t\nhttps://title/").view(), ansiCodePage()),
        Lines{});
}

TEST(DroppedAddresses, EachFormatAlone) {
    const struct {
        F format;
        std::string block;
    } cases[] = {
        {F::UniformResourceLocatorW, utf16Bytes(utf8ToUtf16(kJapanese)) + std::string(2, '\0')},
        {F::MozUrl, utf16Bytes(utf8ToUtf16(kJapanese + "\n日本語"))},
        {F::NetscapeUrl, kJapanese + "\n日本語"},
        {F::UniformResourceLocator, kJapaneseSjis + std::string(1, '\0')},
        {F::PlainTextUtf8, kJapanese},
        {F::UnicodeText, utf16Bytes(utf8ToUtf16(kJapanese)) + std::string(2, '\0')},
        {F::Text, kJapaneseSjis + std::string(1, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.format));
        FakeTransfer data;
        data.blocks[c.format] = c.block;
        EXPECT_EQ(droppedAddresses(data), Lines{kJapanese});
    }
}

TEST(DroppedAddresses, TheFirstFormatThatGivesAnAddressWins) {
    // Every format offered, each with an address of its own: each one in turn is taken once
    // the formats before it are gone.
    FakeTransfer data;
    data.blocks[F::UniformResourceLocatorW] = utf16Bytes(u"urlw");
    data.blocks[F::MozUrl] = utf16Bytes(u"moz\ntitle");
    data.blocks[F::NetscapeUrl] = "netscape\ntitle";
    data.blocks[F::UniformResourceLocator] = "url";
    data.fileNames = {"C:\\f.url"};
    data.contents["C:\\f.url"] = "[InternetShortcut]\r\nURL=file\r\n";
    data.blocks[F::PlainTextUtf8] = "utf8";
    data.blocks[F::UnicodeText] = utf16Bytes(u"unicode");
    data.blocks[F::Text] = "text";
    auto without = [&](F format) { return [&data, format] { data.blocks.erase(format); }; };
    const struct {
        const char* expected;
        std::function<void()> thenRemove;
    } steps[] = {
        {"urlw", without(F::UniformResourceLocatorW)}, {"moz", without(F::MozUrl)},
        {"netscape", without(F::NetscapeUrl)},         {"url", without(F::UniformResourceLocator)},
        {"file", [&] { data.fileNames.clear(); }},     {"utf8", without(F::PlainTextUtf8)},
        {"unicode", without(F::UnicodeText)},          {"text", without(F::Text)},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(droppedAddresses(data), Lines{step.expected});
        step.thenRemove();
    }
    EXPECT_EQ(droppedAddresses(data), Lines{});
}

TEST(DroppedAddresses, AFormatWithoutAnAddressPassesToTheNext) {
    FakeTransfer data;
    data.blocks[F::UniformResourceLocatorW] = std::string(2, '\0');
    data.blocks[F::MozUrl] = utf16Bytes(u"\r\ntitle");
    data.blocks[F::NetscapeUrl] = "";
    data.blocks[F::UniformResourceLocator] = "\n";
    data.blocks[F::PlainTextUtf8] = "\r\n\r\n";
    data.blocks[F::UnicodeText] = utf16Bytes(u"a\r\nb");
    EXPECT_EQ(droppedAddresses(data), (Lines{"a", "b"}));
}

TEST(DroppedAddresses, FirefoxOnLinuxEmptyFileDropBesideMozUrl) {
    // As Wine hands on an X drag in Firefox's order: a file drop without files, the link
    // formats as raw bytes, no CF_UNICODETEXT.
    FakeTransfer data;
    data.blocks[F::MozUrl] = utf16Bytes(utf8ToUtf16(kCafe + "\nCafé"));
    data.blocks[F::NetscapeUrl] = kCafe + "\nCafé";
    data.blocks[F::PlainTextUtf8] = kCafe;
    EXPECT_EQ(droppedAddresses(data), Lines{kCafe});
    EXPECT_TRUE(data.read.empty());
}

TEST(DroppedAddresses, ChromiumOnLinuxLatin1TextLosesToTheLinkFormats) {
    // Wine decoded Chromium's text/plain as Latin-1: that text must not be what is added.
    FakeTransfer data;
    data.blocks[F::UnicodeText] = utf16Bytes(u"https://ja.wikipedia.org/wiki/æ—¥æœ¬èªž");
    data.blocks[F::PlainTextUtf8] = kJapanese;
    EXPECT_EQ(droppedAddresses(data), Lines{kJapanese});
    data.blocks[F::MozUrl] = utf16Bytes(utf8ToUtf16(kJapanese + "\n日本語"));
    EXPECT_EQ(droppedAddresses(data), Lines{kJapanese});
}

TEST(DroppedAddresses, ShortcutFilesInOrderOtherFilesSkipped) {
    FakeTransfer data;
    data.fileNames = {"C:\\a.url", "C:\\notes.txt", "C:\\B.URL", "C:\\gone.url", "C:\\empty.url"};
    data.contents["C:\\a.url"] = "[InternetShortcut]\r\nURL=https://a/\r\n";
    data.contents["C:\\notes.txt"] = "[InternetShortcut]\r\nURL=https://txt/\r\n";
    data.contents["C:\\B.URL"] = "\xEF\xBB\xBF[InternetShortcut]\nURL=" + kJapanese + "\n";
    data.contents["C:\\empty.url"] = "[InternetShortcut]\r\n";
    data.blocks[F::UnicodeText] = utf16Bytes(u"text");
    EXPECT_EQ(droppedAddresses(data), (Lines{"https://a/", kJapanese}));
    EXPECT_EQ(data.read, (Lines{"C:\\a.url", "C:\\B.URL", "C:\\gone.url", "C:\\empty.url"}))
        << "only .url files are read";
    // Files without any address: the text that comes after them.
    data.fileNames = {"C:\\notes.txt", "C:\\empty.url"};
    EXPECT_EQ(droppedAddresses(data), Lines{"text"});
}

TEST(DroppedAddresses, AShortcutOfTheLimitIsReadOneByteMoreIsSkipped) {
    EXPECT_EQ(kInternetShortcutLimit, std::size_t{1} << 20);
    const std::string head = "[InternetShortcut]\r\nURL=https://big/\r\n";
    FakeTransfer data;
    data.fileNames = {"C:\\limit.url", "C:\\over.url"};
    data.contents["C:\\limit.url"] = head + std::string(kInternetShortcutLimit - head.size(), ' ');
    const std::string overHead = "[InternetShortcut]\r\nURL=https://over/\r\n";
    data.contents["C:\\over.url"] =
        overHead + std::string(kInternetShortcutLimit + 1 - overHead.size(), ' ');
    ASSERT_EQ(data.contents["C:\\over.url"].size(), kInternetShortcutLimit + 1);
    EXPECT_EQ(droppedAddresses(data), Lines{"https://big/"});
}

// ---- What a drag passing over the window costs ----

TEST(OffersAddresses, FromTheFormatsAndTheNamesAloneNothingRead) {
    FakeTransfer data;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "\\\\share\\links\\" + std::to_string(i) + ".url";
        data.fileNames.push_back(name);
        data.contents[name] = "[InternetShortcut]\r\nURL=https://example.com/" + std::to_string(i);
    }
    EXPECT_TRUE(offersAddresses(data));
    EXPECT_TRUE(data.read.empty()) << "no file opened while the drag passes over";
    EXPECT_EQ(data.blocksRead, 0);
    // The drop reads each file once.
    const Lines dropped = droppedAddresses(data);
    ASSERT_EQ(dropped.size(), 1000u);
    EXPECT_EQ(dropped[999], "https://example.com/999");
    EXPECT_EQ(data.read.size(), 1000u);
    EXPECT_EQ(data.read, Lines(data.fileNames.begin(), data.fileNames.end()));
}

TEST(OffersAddresses, EveryFormatItReadsAndNothingElse) {
    for (const TransferFormatInfo& info : kTransferFormats) {
        SCOPED_TRACE(static_cast<int>(info.format));
        FakeTransfer data;
        // Even an empty block: whether it holds an address is the drop's to find out.
        data.blocks[info.format] = "";
        EXPECT_TRUE(offersAddresses(data));
        EXPECT_EQ(data.blocksRead, 0);
    }
    FakeTransfer none;
    EXPECT_FALSE(offersAddresses(none));
    none.fileNames = {"C:\\a.txt", "C:\\url", "C:\\a.url.txt", "C:\\.ur"};
    EXPECT_FALSE(offersAddresses(none));
    none.fileNames.push_back("C:\\x.URL");
    EXPECT_TRUE(offersAddresses(none));
    EXPECT_TRUE(none.read.empty());
}

}  // namespace
}  // namespace klw
