#include "app/claim_name.h"

#include <gtest/gtest.h>

#include <string>

namespace klw {
namespace {

constexpr FolderIdentity kRoot{0x5A000000, 1};

std::size_t units(const std::string& utf8) { return utf8ToUtf16(utf8).size(); }

TEST(ClaimName, EverySpellingOfOneFolderGivesOneName) {
    const std::string name = claimName("\\\\?\\Z:\\home\\Ann\\Links", kRoot);
    EXPECT_EQ(claimName("Z:\\home\\Ann\\Links", kRoot), name);
    EXPECT_EQ(claimName("\\\\?\\Z:\\home\\Ann\\Links\\", kRoot), name);
    EXPECT_EQ(claimName("\\\\?\\z:\\HOME\\ann\\links", kRoot), name);
    EXPECT_EQ(claimName("z:\\home\\ann\\LINKS\\\\", kRoot), name);
    // Letters beyond ASCII are folded too.
    EXPECT_EQ(claimName("\\\\?\\C:\\Überblick\\Été", kRoot),
              claimName("C:\\überblick\\éTÉ", kRoot));
    EXPECT_EQ(claimName("\\\\?\\UNC\\Server\\Share\\Dir", kRoot),
              claimName("\\\\?\\UNC\\SERVER\\share\\dir\\", kRoot));
}

TEST(ClaimName, FoldersWithTheSameIdentityOnTwoMountsAreTwo) {
    // Under Wine two tmpfs roots both have volume 0 and file index 1.
    const FolderIdentity tmpfs{0, 1};
    EXPECT_NE(claimName("\\\\?\\Z:\\tmp\\m1", tmpfs), claimName("\\\\?\\Z:\\tmp\\m2", tmpfs));
    EXPECT_NE(claimName("\\\\?\\Z:\\tmp\\m", tmpfs), claimName("\\\\?\\Z:\\tmp\\m\\x", tmpfs));
}

TEST(ClaimName, FoldersWhosePathsDifferInLetterCaseOnlyAreTwoWhenTheirIdentitiesDiffer) {
    // A case-sensitive file system holds both /tmp/a and /tmp/A.
    EXPECT_NE(claimName("Z:\\tmp\\a", {0x5A000000, 0x100}),
              claimName("Z:\\tmp\\A", {0x5A000000, 0x101}));
    EXPECT_NE(claimName("Z:\\tmp\\a", {1, 0x100}), claimName("Z:\\tmp\\a", {2, 0x100}));
    EXPECT_NE(claimName("Z:\\tmp\\a", {1, 0x100}), claimName("Z:\\tmp\\a", {1, 0x100000100}));
}

TEST(ClaimName, NetworkPathsAreNotDrivePaths) {
    EXPECT_NE(claimName("\\\\?\\UNC\\server\\share", kRoot),
              claimName("\\\\?\\server\\share", kRoot));
    EXPECT_EQ(claimName("\\\\?\\UNC\\server\\share", kRoot), claimName("\\\\server\\share", kRoot));
}

TEST(ClaimName, IsAnObjectNameOfTheSessionWithoutFurtherBackslashes) {
    const std::string name = claimName("\\\\?\\Z:\\tmp\\a b\\c", kRoot);
    const std::string prefix = "Local\\KORVANE.LINKWALKER.";
    ASSERT_EQ(name.substr(0, prefix.size()), prefix);
    EXPECT_EQ(name.find('\\', prefix.size()), std::string::npos) << name;
    EXPECT_EQ(name, prefix + "5A000000.0000000000000001.Z:/TMP/A B/C");
    // Without a path the identity alone tells folders apart.
    EXPECT_EQ(claimName("", {0x12, 0xAB}), prefix + "00000012.00000000000000AB.");
}

TEST(ClaimName, LongPathsKeepToTheLengthOfAnObjectNameAndStayApart) {
    std::string deep = "\\\\?\\Z:";
    while (units(deep) < 2000) deep += "\\folder-ü-日本";
    const std::string name = claimName(deep, kRoot);
    EXPECT_LE(units(name) + kClaimSuffixUnits, kMaxClaimNameUnits) << name;
    EXPECT_EQ(name.find('\\', 6), std::string::npos) << name;
    EXPECT_EQ(claimName(lowerCase(deep) + "\\", kRoot), name);
    EXPECT_NE(claimName(deep + "x", kRoot), name);
    EXPECT_NE(claimName(deep.substr(0, deep.size() - 1), kRoot), name);
    // A path just short enough is named as it is; one unit more is not.
    const std::string shortName = claimName("", kRoot);
    const std::size_t room = kMaxClaimNameUnits - kClaimSuffixUnits - units(shortName);
    const std::string fits = "Z:" + std::string(room - 2, 'X');
    EXPECT_EQ(claimName(fits, kRoot), shortName + fits);
    EXPECT_NE(claimName(fits + "X", kRoot), shortName + fits + "X");
    EXPECT_LE(units(claimName(fits + "X", kRoot)) + kClaimSuffixUnits, kMaxClaimNameUnits);
}

}  // namespace
}  // namespace klw
