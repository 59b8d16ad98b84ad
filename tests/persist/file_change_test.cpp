// When another program has changed the list file: what the window does, and the name of the
// copy that keeps the other version.
#include "persist/file_change.h"

#include <gtest/gtest.h>

namespace klw {
namespace {

const FileState kWritten{true, 120, 1000, 7};

TEST(FileChange, WhatCountsAsAChangeElsewhere) {
    EXPECT_FALSE(changedElsewhere(kWritten, kWritten));
    // Each of the three marks alone: a rename (new index), a write in place with the same size
    // (new time), a write within the same tick (new size).
    FileState renamed = kWritten;
    renamed.index = 8;
    FileState rewritten = kWritten;
    rewritten.lastWrite = 1001;
    FileState grown = kWritten;
    grown.size = 121;
    for (const FileState& now : {renamed, rewritten, grown})
        EXPECT_TRUE(changedElsewhere(kWritten, now));
    // A file that is gone is written again by the next change; one that came where there was
    // none is someone else's list.
    EXPECT_FALSE(changedElsewhere(kWritten, FileState{}));
    EXPECT_TRUE(changedElsewhere(FileState{}, kWritten));
    EXPECT_FALSE(changedElsewhere(FileState{}, FileState{}));
}

TEST(FileChange, ReloadWhenIdleKeepBothWhenAChangeWaits) {
    FileState other = kWritten;
    other.index = 9;
    EXPECT_EQ(onOtherVersion(kWritten, kWritten, false), OnOtherVersion::Nothing);
    EXPECT_EQ(onOtherVersion(kWritten, kWritten, true), OnOtherVersion::Nothing);
    EXPECT_EQ(onOtherVersion(kWritten, other, false), OnOtherVersion::Reload);
    EXPECT_EQ(onOtherVersion(kWritten, other, true), OnOtherVersion::KeepAndSave);
    EXPECT_EQ(onOtherVersion(kWritten, FileState{}, true), OnOtherVersion::Nothing);
    EXPECT_EQ(onOtherVersion(FileState{}, other, false), OnOtherVersion::Reload);
    // A version that could not be read is not tried again (and shows nothing), but a change
    // waiting still keeps it; a newer version is tried.
    EXPECT_EQ(onOtherVersion(kWritten, other, false, other), OnOtherVersion::Nothing);
    EXPECT_EQ(onOtherVersion(kWritten, other, true, other), OnOtherVersion::KeepAndSave);
    FileState newer = other;
    newer.lastWrite = 2000;
    EXPECT_EQ(onOtherVersion(kWritten, newer, false, other), OnOtherVersion::Reload);
}

TEST(FileChange, TheCopysNameTellsWhenAndNeverRepeats) {
    const LocalTime at{2026, 12, 9, 7, 5, 3};
    EXPECT_EQ(otherVersionName(at), "korlinkwalker (changed elsewhere 2026-12-09 070503).dat");
    EXPECT_EQ(otherVersionName(at, 1), otherVersionName(at));
    EXPECT_EQ(otherVersionName(at, 2), "korlinkwalker (changed elsewhere 2026-12-09 070503) 2.dat");
    EXPECT_EQ(otherVersionName({1999, 1, 31, 23, 59, 59}, 12),
              "korlinkwalker (changed elsewhere 1999-01-31 235959) 12.dat");
}

TEST(FileChange, TheSelectionStaysOnItsIndexWhereThatStillExists) {
    EXPECT_EQ(selectionAfterReload(2, 5), 2);
    EXPECT_EQ(selectionAfterReload(4, 5), 4);
    EXPECT_EQ(selectionAfterReload(5, 5), -1);
    EXPECT_EQ(selectionAfterReload(0, 0), -1);
    EXPECT_EQ(selectionAfterReload(-1, 3), -1);
}

}  // namespace
}  // namespace klw
