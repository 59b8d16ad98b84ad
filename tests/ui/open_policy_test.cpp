#include "ui/open_policy.h"

#include <gtest/gtest.h>

#include "runtime/unicode.h"
#include "ui/fake_view.h"
#include "ui/web_address.h"

namespace klw {
namespace {

using test::FakeShell;

// How Go treats `text` with `shell`: "ask", or "open" with the handler class ("open http").
std::string way(const std::string& text, FakeShell& shell, const OpenPolicy* given = nullptr) {
    OpenPolicy fresh(shell);
    const OpenWay w = (given ? *given : fresh).wayFor(text);
    return w.ask ? "ask" : w.handlerClass.empty() ? "open" : "open " + w.handlerClass;
}

std::string way(const std::string& text) {
    FakeShell shell;
    return way(text, shell);
}

std::string shownIn(const std::string& question) {
    const std::size_t a = question.find("「") + std::string("「").size();
    return question.substr(a, question.rfind("」") - a);
}

TEST(OpenPolicy, EntriesThatAShellTakesForAFileAsk) {
    FakeShell shell;
    // What Wine's shell reaches with ".." collapsed, in the current folder.
    shell.files = {"http://example.com/../../x.bat", "https://example.com/../../x.sh",
                   "mailto:x/../x.bat"};
    for (const std::string& text : shell.files) EXPECT_EQ(way(text, shell), "ask") << text;
    shell.files.clear();
    EXPECT_EQ(way("http://example.com/../../x.bat", shell), "open http") << "no file there";
    EXPECT_EQ(way("https://example.com/../../x.sh", shell), "open https");
    EXPECT_EQ(way("mailto:x/../x.bat", shell), "open mailto");
    // A lookup that fails counts as a file that may be there.
    shell.failing = {"https://example.com/x"};
    EXPECT_EQ(way("https://example.com/x", shell), "ask");
    EXPECT_EQ(way("https://example.com/y", shell), "open https");
}

TEST(OpenPolicy, WhatTheEnvironmentWouldExpandAsks) {
    FakeShell shell;
    shell.variables = {"PROCESSOR_ARCHITECTURE", "USERNAME"};
    EXPECT_EQ(way("www.%PROCESSOR_ARCHITECTURE%.bat", shell), "ask");
    EXPECT_EQ(way("http://%USERNAME%.attacker.example/", shell), "ask");
    EXPECT_EQ(way("http://example.com/a%USERNAME%b", shell), "ask");
    EXPECT_EQ(way("http://example.com/%x%USERNAME%", shell), "ask") << "any neighbouring signs";
    // Percent-encoding names no variable.
    EXPECT_EQ(way("http://example.com/%41%42", shell), "open http");
    EXPECT_EQ(way("https://example.com/a%20b", shell), "open https");
    EXPECT_EQ(way("http://%NOSUCH%.example/", shell), "open http");
    EXPECT_EQ(way("www.%PROCESSOR_ARCHITECTURE.bat", shell), "open") << "one sign alone";
    shell.variables.push_back("41");
    EXPECT_EQ(way("http://example.com/%41%42", shell), "ask");
}

TEST(OpenPolicy, MailOpensUnaskedOnlyAsAPlainMail) {
    for (const char* text :
         {"mailto:a@b.example", "mailto:a@b.example?subject=Hi&body=x",
          "MAILTO:a@b.example?SUBJECT=Hi&Body=x&to=c@d.example&CC=e@f.example&bcc=g@h.example",
          "mailto:?to=a@b.example", "mailto:a@b.example?subject"})
        EXPECT_EQ(way(text), "open mailto") << text;
    for (const char* text :
         {"mailto:a@b.example?attach=/etc/hostname", "mailto:a@b.example?attach=x",
          "mailto:a@b.example?ATTACH=x", "mailto:a@b.example?Attachment=x",
          "mailto:a@b.example?subject=Hi&attach=x", "mailto:a@b.example?subject=Hi&",
          "mailto:a@b.example?x-unknown=1", "mailto:a@b.example?%61ttach=x",
          "mailto:\"a\"@b.example", "mailto:a@b.example?body=a b"})
        EXPECT_EQ(way(text), "ask") << text;
}

TEST(OpenPolicy, ARawQuoteABlankOrAControlCharacterAsks) {
    for (const char* text :
         {"https://example.com/a b", "https://example.com/a\"b", "http://example.com/\"",
          "https://example.com/a\tb", "https://example.com/a\x01", "www.example.com/a b",
          "https://example.com/\xE3\x80\x80", "https://example.com/\xC2\xA0x",
          "https://example.com/\xC2\x85x"})
        EXPECT_EQ(way(text), "ask") << text;
    EXPECT_EQ(way("https://example.com/a%22b%20c"), "open https");
    EXPECT_EQ(way("https://例え.jp/パス"), "open https");
    EXPECT_EQ(way("www.example.com"), "open") << "no scheme: the shell's own open";
}

TEST(OpenPolicy, ALongPathAsksAndTheQuestionShowsWhatWouldRun) {
    const std::string path = "C:\\" + std::string(420 - 3 - 12, 'd') + "\\payload.bat";
    ASSERT_EQ(path.size(), 420u);
    EXPECT_EQ(way(path), "ask");
    const std::string shown = shownIn(openQuestionText(path));
    EXPECT_EQ(shown.substr(0, 3), "C:\\");
    EXPECT_NE(shown.find("…"), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 12), "\\payload.bat");
    // 10,000 characters: a web address opens, anything else asks with its end in view.
    const std::string longWeb = "https://example.com/" + std::string(10000 - 20, 'a');
    EXPECT_EQ(way(longWeb), "open https");
    const std::string longPath = std::string(10000 - 7, 'p') + "\\x.bat";
    EXPECT_EQ(way(longPath), "ask");
    const std::string shownLong = shownIn(openQuestionText(longPath));
    EXPECT_EQ(shownLong, std::string(kQuestionHeadChars, 'p') + "…" +
                             std::string(kQuestionTailChars - 6, 'p') + "\\x.bat");
}

TEST(OpenPolicy, TrustedAreOnlyTheTextsTheUserCouldRead) {
    FakeShell shell;
    OpenPolicy policy(shell);
    const std::string plain = "Z:\\home\\user\\x.bat";
    // U+202E: "…fdp.bat" is drawn as "…tab.pdf".
    const std::string disguised =
        "Z:\\home\\user\\\xE2\x80\xAE"
        "fdp.bat";
    policy.addedByUser(plain);
    policy.addedByUser(disguised);
    EXPECT_EQ(way(plain, shell, &policy), "open");
    EXPECT_EQ(way(disguised, shell, &policy), "ask");
    EXPECT_EQ(shownIn(openQuestionText(disguised)),
              "Z:\\home\\user\\\xEF\xBF\xBD"
              "fdp.bat");
    // Yes to the question: the user has seen the stand-in.
    policy.allowed(disguised);
    EXPECT_EQ(way(disguised, shell, &policy), "open");
    // A www. name the user added asks once a file of that name appears; the look-up comes first.
    policy.addedByUser("www.x");
    EXPECT_EQ(way("www.x", shell, &policy), "open");
    shell.files = {"www.x"};
    EXPECT_EQ(way("www.x", shell, &policy), "ask");
    // An added text whose variables would be expanded is still the user's: it opens as typed.
    shell.variables = {"USERPROFILE"};
    policy.addedByUser("%USERPROFILE%\\x.bat");
    EXPECT_EQ(way("%USERPROFILE%\\x.bat", shell, &policy), "open");
}

// The characters that hide or disguise text: the ends and the middle of every range.
const char32_t kHidden[] = {0x00,   0x09,   0x1F,    0x7F,    0x80,   0x9F,   0xAD,   0x34F,
                            0x61C,  0x115F, 0x1160,  0x180E,  0x200B, 0x200D, 0x200F, 0x2028,
                            0x202A, 0x202E, 0x2060,  0x2066,  0x206F, 0x3164, 0xFE00, 0xFE0F,
                            0xFEFF, 0xFFA0, 0xE0000, 0xE0041, 0xE007F};

TEST(OpenPolicy, EveryHiddenCharacterAsksAndIsShownAsAStandIn) {
    FakeShell shell;
    OpenPolicy policy(shell);
    for (const char32_t c : kHidden) {
        std::string h;
        appendUtf8(c, h);
        const std::string visible = c < 0x20 ? [&] {
            std::string v;
            appendUtf8(0x2400 + c, v);
            return v;
        }()
                                             : c == 0x7F ? "␡" : "\xEF\xBF\xBD";
        for (const std::string& text :
             {h + "https://example.com/x", "https://example.com/" + h + "x",
              "https://example.com/x" + h, h + "www.example.com", "mailto:a@b.example" + h,
              "Z:\\" + h + "x.bat", "Z:\\x.bat" + h}) {
            const std::string at = "U+" + std::to_string(static_cast<unsigned>(c)) + " in " + text;
            EXPECT_FALSE(isWebAddress(text)) << at;
            EXPECT_TRUE(holdsHiddenCharacter(text)) << at;
            policy.addedByUser(text);
            EXPECT_EQ(way(text, shell, &policy), "ask") << at;
            const std::string shown = shownIn(openQuestionText(text));
            EXPECT_EQ(shown.find(h), std::string::npos) << at;
            EXPECT_NE(shown.find(visible), std::string::npos) << at;
        }
    }
    // Their neighbours are drawn as they are.
    for (const char32_t c : {0x20u, 0xA0u, 0x200Au, 0x2027u, 0x202Fu, 0x205Fu, 0x2070u, 0xFDFFu,
                             0xFE10u, 0xFFA1u, 0xE0080u, 0xDFFFFu}) {
        std::string t = "x";
        appendUtf8(c, t);
        EXPECT_FALSE(holdsHiddenCharacter(t)) << static_cast<unsigned>(c);
        EXPECT_EQ(shownIn(openQuestionText(t)), t) << static_cast<unsigned>(c);
    }
}

TEST(OpenPolicy, TheLookupsSeeTheExactText) {
    FakeShell shell;
    OpenPolicy policy(shell);
    policy.wayFor("https://example.com/a");
    policy.wayFor("Z:\\x.bat");  // no web address: the question decides, no lookup
    EXPECT_EQ(shell.looked, std::vector<std::string>{"https://example.com/a"});
}

}  // namespace
}  // namespace klw
