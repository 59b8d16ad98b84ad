// TRegistry against Wine's real registry, in a scratch key of the test prefix.
#include "persist/registry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/exceptions.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

constexpr const char* kScratch = "Software\\KorvaneTests";

class Registry : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kScratch); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kScratch); }

    static bool keyExists(const std::string& path) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        RegCloseKey(k);
        return true;
    }
    static void setValue(const std::string& path, const char* name, DWORD type, const void* data,
                         DWORD size) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    static std::pair<DWORD, std::string> rawValue(const std::string& path, const char* name) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return {REG_NONE, "<no key>"};
        char data[64] = {};
        DWORD type = REG_NONE, size = sizeof data;
        const LONG r =
            RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(k);
        if (r != ERROR_SUCCESS) return {REG_NONE, "<no value>"};
        return {type, std::string(data, size)};
    }
};

TEST_F(Registry, StartsAtTheCurrentUserWithFullAccessAndNoKey) {
    TRegistry reg;
    EXPECT_EQ(reg.rootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(reg.access(), static_cast<REGSAM>(0xF003F));
    EXPECT_EQ(reg.currentKey(), nullptr);
    EXPECT_EQ(reg.currentPath(), "");
    reg.closeKey();  // nothing open: nothing happens
    EXPECT_EQ(reg.currentKey(), nullptr);
}

TEST_F(Registry, OpensAbsoluteAndRelativePathsAndCreatesParents) {
    TRegistry reg;
    EXPECT_FALSE(reg.openKey("\\Software\\KorvaneTests\\A\\B", false)) << "absent, no create";
    EXPECT_EQ(reg.currentKey(), nullptr);
    ASSERT_TRUE(reg.openKey("\\Software\\KorvaneTests\\A\\B", true));
    EXPECT_TRUE(keyExists("Software\\KorvaneTests\\A\\B"));
    EXPECT_EQ(reg.currentPath(), "Software\\KorvaneTests\\A\\B");

    // Relative to the open key.
    ASSERT_TRUE(reg.openKey("C", true));
    EXPECT_TRUE(keyExists("Software\\KorvaneTests\\A\\B\\C"));
    EXPECT_EQ(reg.currentPath(), "Software\\KorvaneTests\\A\\B\\C");

    // A failed open keeps the key that was open.
    const HKEY before = reg.currentKey();
    EXPECT_FALSE(reg.openKey("Missing", false));
    EXPECT_EQ(reg.currentKey(), before);
    EXPECT_EQ(reg.currentPath(), "Software\\KorvaneTests\\A\\B\\C");

    // Absolute again: from the root, whatever is open.
    ASSERT_TRUE(reg.openKey("\\Software\\KorvaneTests\\A", false));
    EXPECT_EQ(reg.currentPath(), "Software\\KorvaneTests\\A");

    // Relative with nothing open: from the root.
    reg.closeKey();
    EXPECT_EQ(reg.currentPath(), "");
    ASSERT_TRUE(reg.openKey("Software\\KorvaneTests\\A\\B", false));
    EXPECT_EQ(reg.currentPath(), "Software\\KorvaneTests\\A\\B");
}

TEST_F(Registry, WritesAndReadsIntegersAsTwosComplementDwords) {
    TRegistry reg;
    ASSERT_TRUE(reg.openKey("\\Software\\KorvaneTests", true));
    const std::int32_t values[] = {0, 1, -1, -8, -1200, 40, INT32_MIN, INT32_MAX};
    for (const std::int32_t v : values) {
        SCOPED_TRACE(v);
        reg.writeInteger("Value", v);
        const auto raw = rawValue(kScratch, "Value");
        EXPECT_EQ(raw.first, static_cast<DWORD>(REG_DWORD));
        ASSERT_EQ(raw.second.size(), 4u);
        std::uint32_t stored = 0;
        std::memcpy(&stored, raw.second.data(), 4);
        EXPECT_EQ(stored, static_cast<std::uint32_t>(v));
        EXPECT_EQ(reg.readInteger("Value"), v);
    }
    // -8 as the spelled-out bytes.
    reg.writeInteger("Minus8", -8);
    EXPECT_EQ(rawValue(kScratch, "Minus8").second, std::string("\xF8\xFF\xFF\xFF", 4));
}

TEST_F(Registry, ReadErrorsCarryTheValueName) {
    const std::string path = kScratch;
    // Strings as the Unicode calls see them: "1" is 4 bytes of UTF-16, "100" 8.
    setValue(path, "Text", REG_SZ, "1", 2);
    setValue(path, "LongText", REG_SZ, "100", 4);
    setValue(path, "Long", REG_BINARY, "12345678", 8);
    setValue(path, "Short", REG_BINARY, "12", 2);
    setValue(path, "Expand", REG_EXPAND_SZ, "%", 2);
    const std::uint32_t big = 7;
    setValue(path, "BigEndian", REG_DWORD_BIG_ENDIAN, &big, 4);
    TRegistry reg;
    ASSERT_TRUE(reg.openKey("\\Software\\KorvaneTests", false));
    auto message = [&](const char* name) -> std::string {
        try {
            reg.readInteger(name);
        } catch (const ERegistryException& e) {
            return e.message();
        }
        return "<no error>";
    };
    EXPECT_EQ(message("Absent"), std::string("'Absent' の取得に失敗しました"));
    EXPECT_EQ(message("Long"), std::string("'Long' の取得に失敗しました")) << "longer than 4 bytes";
    EXPECT_EQ(message("Text"), std::string("'Text' のデータ型が不正です")) << "REG_SZ \"1\" fits";
    EXPECT_EQ(message("LongText"), std::string("'LongText' の取得に失敗しました"));
    EXPECT_EQ(message("Short"), std::string("'Short' のデータ型が不正です"));
    EXPECT_EQ(message("Expand"), std::string("'Expand' のデータ型が不正です"));
    EXPECT_EQ(message("BigEndian"), std::string("'BigEndian' のデータ型が不正です"));

    // Without an open key nothing can be read.
    reg.closeKey();
    EXPECT_EQ(message("Text"), std::string("'Text' の取得に失敗しました"));
}

TEST_F(Registry, AWriteThatFailsRaisesTheSetMessage) {
    TRegistry reg;
    ASSERT_TRUE(reg.openKey("\\Software\\KorvaneTests\\Doomed", true));
    // Another handle deletes the key under the open one.
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KorvaneTests\\Doomed"), ERROR_SUCCESS);
    try {
        reg.writeInteger("Top", 5);
        FAIL() << "a deleted key took a value";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.message(), std::string("'Top' の設定に失敗しました"));
    }
    reg.closeKey();
    try {
        reg.writeInteger("Left", 5);
        FAIL() << "a value was written without an open key";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.message(), std::string("'Left' の設定に失敗しました"));
    }
}

TEST_F(Registry, AnotherRootClosesTheKeyAndTheSameRootKeepsIt) {
    TRegistry reg;
    ASSERT_TRUE(reg.openKey("\\Software\\KorvaneTests", true));
    reg.setRootKey(HKEY_CURRENT_USER);
    EXPECT_NE(reg.currentKey(), nullptr);
    EXPECT_EQ(reg.currentPath(), "Software\\KorvaneTests");
    reg.setRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.rootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.currentKey(), nullptr);
    EXPECT_EQ(reg.currentPath(), "");
}

TEST_F(Registry, ClassifiesRegistryTypes) {
    using K = TRegistry::DataKind;
    EXPECT_EQ(TRegistry::dataKindOf(REG_SZ), K::String);
    EXPECT_EQ(TRegistry::dataKindOf(REG_EXPAND_SZ), K::ExpandString);
    EXPECT_EQ(TRegistry::dataKindOf(REG_DWORD), K::Integer);
    EXPECT_EQ(TRegistry::dataKindOf(REG_BINARY), K::Binary);
    EXPECT_EQ(TRegistry::dataKindOf(REG_NONE), K::Unknown);
    EXPECT_EQ(TRegistry::dataKindOf(REG_MULTI_SZ), K::Unknown);
    EXPECT_EQ(TRegistry::dataKindOf(REG_QWORD), K::Unknown);
    EXPECT_EQ(TRegistry::dataKindOf(REG_DWORD_BIG_ENDIAN), K::Unknown);
}

}  // namespace
}  // namespace klw
