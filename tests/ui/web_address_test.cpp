#include "ui/web_address.h"

#include <gtest/gtest.h>

#include "runtime/unicode.h"

namespace klw {
namespace {

TEST(WebAddress, WebAddressesOpenAtOnce) {
    for (const char* text :
         {"https://example.com/", "HTTPS://EXAMPLE.COM/", "http://example.com", "hTtP://x",
          "https://例え.jp/パス", "mailto:a@example.com", "MAILTO:", "www.example.com",
          "WWW.example.com/a/b?c=d", "www.example.com/a.b/...x", "https://@host"})
        EXPECT_TRUE(isWebAddress(text)) << text;
}

TEST(WebAddress, EverythingElseIsNot) {
    for (const char* text : {
             "Z:\\home\\user\\Downloads\\x.sh",
             "/home/user/Downloads/x.sh",
             "file:///home/user/Downloads/x.sh",
             "Z:\\home\\user\\Downloads\\x.bat",
             "\\\\host\\share\\x",
             "file://host/share/x",
             "FILE:///C:/Windows/System32/calc.exe",
             "ms-msdt:/id PCWDiagnostic",
             "search-ms:query=x&crumb=location:\\\\host\\share",
             "shell:startup",
             "javascript:alert(1)",
             " https://example.com/",
         })
        EXPECT_FALSE(isWebAddress(text)) << text;
    // The host must follow at once: no separator, space or control character.
    for (const char* text : {"http:\\\\example.com",
                             "https:///x",
                             "https://",
                             "http://?x",
                             "http://#x",
                             "http://\\host\\share",
                             "http:// example.com",
                             "https://\x01x",
                             "https://\xE3\x80\x80x",
                             "http:/example.com",
                             "C:\\Windows\\System32\\calc.exe",
                             "WWW.example.com\\x.bat",
                             "www./../x.sh",
                             "www.x/./y",
                             "www.x/..",
                             "wwwx.example.com",
                             "\twww.example.com",
                             "",
                             "ftp://example.com/",
                             "calc"})
        EXPECT_FALSE(isWebAddress(text)) << text;
}

TEST(WebAddress, TheExactTextCountsToTheEnd) {
    // A trailing tab is part of the address, which still begins with one; what begins with
    // a space or a tab is not.
    EXPECT_TRUE(isWebAddress("https://example.com/\t"));
    EXPECT_FALSE(isWebAddress(" https://example.com/"));
    EXPECT_FALSE(isWebAddress("\xEF\xBB\xBFhttps://example.com/")) << "a byte order mark first";
    const std::string longWeb = "https://example.com/" + std::string(10000, 'a');
    EXPECT_TRUE(isWebAddress(longWeb));
    const std::string longPath = std::string(10000, 'a');
    EXPECT_FALSE(isWebAddress(longPath));
    EXPECT_TRUE(shellMayTakeForFile("www.example.com"));
    EXPECT_TRUE(shellMayTakeForFile("Www.example.com"));
    EXPECT_FALSE(shellMayTakeForFile("https://www.example.com"));
}

std::string between(const std::string& question) {
    const std::string open = "「";
    const std::string close = "」";
    const std::size_t a = question.find(open);
    const std::size_t b = question.rfind(close);
    EXPECT_NE(a, std::string::npos);
    EXPECT_NE(b, std::string::npos);
    return question.substr(a + open.size(), b - a - open.size());
}

TEST(OpenQuestion, TheTextShowsTheEntryBetweenBrackets) {
    EXPECT_EQ(openQuestionText(" x.sh "),
              "ウェブのアドレスではない項目を開こうとしています。\n\n「 x.sh 」\n\n"
              "プログラムが実行されたり、ネットワーク上のコンピューターに接続されたりすることが"
              "あります。開きますか?");
    EXPECT_EQ(between(openQuestionText("100%s %d")), "100%s %d") << "the entry is not a pattern";
    EXPECT_EQ(between(openQuestionText("")), "");
}

TEST(OpenQuestion, ControlCharactersAndDirectionMarksAreVisible) {
    EXPECT_EQ(between(openQuestionText("a\tb\r\nc\x7F")), "a␉b␍␊c␡");
    EXPECT_EQ(between(openQuestionText(std::string("a\0b", 3))), "a␀b");
    // "x\u202Ehs.txt" would be drawn as "xtxt.sh".
    EXPECT_EQ(between(openQuestionText("x\xE2\x80\xAEtxt.sh")), "x\xEF\xBF\xBDtxt.sh");
}

TEST(OpenQuestion, LongEntriesAreCutAfter300Characters) {
    const std::string exact(kQuestionEntryChars, 'a');
    EXPECT_EQ(between(openQuestionText(exact)), exact);
    EXPECT_EQ(between(openQuestionText(exact + "b")), exact + "…");
    // Characters, not bytes: 300 kana of three bytes each, and one more.
    std::string kana;
    for (std::size_t i = 0; i < kQuestionEntryChars; ++i) kana += "あ";
    EXPECT_EQ(between(openQuestionText(kana)), kana);
    EXPECT_EQ(between(openQuestionText(kana + "い")), kana + "…");
    const std::string huge(10000, 'z');
    EXPECT_EQ(between(openQuestionText(huge)), std::string(kQuestionEntryChars, 'z') + "…");
}

TEST(TrustedEntries, HoldsExactTexts) {
    TrustedEntries t;
    t.add("x.sh");
    EXPECT_TRUE(t.contains("x.sh"));
    EXPECT_FALSE(t.contains("X.SH"));
    EXPECT_FALSE(t.contains("x.sh "));
    EXPECT_FALSE(t.contains(""));
}

}  // namespace
}  // namespace klw
