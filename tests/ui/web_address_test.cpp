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
    // What begins or ends with a blank is no address: real addresses hold none unencoded.
    EXPECT_FALSE(isWebAddress("https://example.com/\t"));
    EXPECT_FALSE(isWebAddress(" https://example.com/"));
    EXPECT_FALSE(isWebAddress("\xEF\xBB\xBFhttps://example.com/")) << "a byte order mark first";
    const std::string longWeb = "https://example.com/" + std::string(10000, 'a');
    EXPECT_TRUE(isWebAddress(longWeb));
    const std::string longPath = std::string(10000, 'a');
    EXPECT_FALSE(isWebAddress(longPath));
    EXPECT_EQ(webAddressScheme("HTTPS://example.com/"), "https");
    EXPECT_EQ(webAddressScheme("http://example.com/"), "http");
    EXPECT_EQ(webAddressScheme("MailTo:a@b.example"), "mailto");
    EXPECT_EQ(webAddressScheme("www.example.com"), "");
    EXPECT_EQ(webAddressScheme("httpx://example.com"), "");
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

TEST(OpenQuestion, LongEntriesShowTheirBeginningAndTheirEnd) {
    const std::string exact(kQuestionEntryChars, 'a');
    EXPECT_EQ(between(openQuestionText(exact)), exact);
    const std::string longer = std::string(kQuestionHeadChars, 'h') + "middle" +
                               std::string(kQuestionTailChars - 1, 't') + "e";
    EXPECT_EQ(between(openQuestionText(longer)), std::string(kQuestionHeadChars, 'h') + "…" +
                                                     std::string(kQuestionTailChars - 1, 't') +
                                                     "e");
    // Characters, not bytes: kana of three bytes each are never cut inside.
    std::string kana;
    for (std::size_t i = 0; i < kQuestionEntryChars; ++i) kana += "あ";
    EXPECT_EQ(between(openQuestionText(kana)), kana);
    std::string tail;
    for (std::size_t i = 0; i < kQuestionTailChars; ++i) tail += "い";
    std::string head;
    for (std::size_t i = 0; i < kQuestionHeadChars; ++i) head += "あ";
    EXPECT_EQ(between(openQuestionText(kana + tail)), head + "…" + tail);
    EXPECT_GE(kQuestionTailChars, 120u);
}

}  // namespace
}  // namespace klw
