// Slot presence over consecutive scans.
#include <gtest/gtest.h>

#include <cstdint>

#include "replay/flag_array.h"
#include "replay/presence_table.h"
#include "tests/fake/fake_platform.h"

namespace {

class PresenceTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    void TearDown() override { EXPECT_EQ(fake::state().blocksLive, 0) << "a block was not freed"; }
};

TEST_F(PresenceTest, FlagArrayBoundsAreTheCount) {
    FlagArray flags(4);
    ASSERT_EQ(flags.count, 4u);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(flags.Get(i), 0);
    flags.Set(3, 1);
    flags.Set(4, 1);  // one past the end: ignored
    flags.Set(0xFFFFFFFFu, 1);
    EXPECT_EQ(flags.Get(3), 1);
    EXPECT_EQ(flags.Get(4), 0);
    EXPECT_EQ(flags.Get(0xFFFFFFFFu), 0);
    flags.Clear();
    EXPECT_EQ(flags.Get(3), 0);
}

TEST_F(PresenceTest, OrInTouchesOnlyThePositionsBothArraysHave) {
    FlagArray longer(5);
    FlagArray shorter(3);
    longer.Set(0, 1);
    shorter.Set(1, 1);
    shorter.Set(2, 1);
    longer.OrIn(shorter);
    EXPECT_EQ(longer.Get(0), 1);
    EXPECT_EQ(longer.Get(1), 1);
    EXPECT_EQ(longer.Get(2), 1);
    EXPECT_EQ(longer.Get(3), 0);
    EXPECT_EQ(longer.Get(4), 0);

    longer.Set(4, 1);
    shorter.Clear();
    shorter.OrIn(longer);  // the other way: only the first 3 of the 5 arrive
    EXPECT_EQ(shorter.Get(0), 1);
    EXPECT_EQ(shorter.Get(2), 1);
    EXPECT_EQ(shorter.count, 3u);
}

TEST_F(PresenceTest, AFlagArrayWhoseStorageCannotBeHadHoldsNothing) {
    fake::state().failAllocations = 1;
    FlagArray flags(1000);
    EXPECT_EQ(flags.count, 0u);
    EXPECT_EQ(flags.flags, nullptr);
    flags.Set(0, 1);
    EXPECT_EQ(flags.Get(0), 0);
    flags.Clear();
    FlagArray other(3);
    other.Set(0, 1);
    flags.OrIn(other);
    other.OrIn(flags);
    EXPECT_EQ(other.Get(0), 1);
}

TEST_F(PresenceTest, DefaultRangeTracksSlots0To999) {
    PresenceTable table(0, 999);
    ASSERT_NE(table.current, nullptr);
    EXPECT_EQ(table.current->count, 1000u);
    EXPECT_EQ(table.previous->count, 1000u);
    table.MarkPresent(0);
    table.MarkPresent(999);
    table.EndScan();
    table.MarkPresent(0);
    table.MarkPresent(999);
    EXPECT_EQ(table.IsPresentInBoth(0), 1);
    EXPECT_EQ(table.IsPresentInBoth(999), 1);
    EXPECT_EQ(table.current->Get(0), 1);
    EXPECT_EQ(table.current->Get(999), 1);
    table.MarkPresent(1000);
    EXPECT_EQ(table.IsPresentInBoth(1000), 0);
}

TEST_F(PresenceTest, AnEqualPairTracksSlots1To100) {
    PresenceTable table(7, 7);
    EXPECT_EQ(table.current->count, 100u);
    table.MarkPresent(1);
    table.MarkPresent(100);
    table.MarkPresent(7);
    EXPECT_EQ(table.current->Get(0), 1) << "slot 1 is position 0";
    EXPECT_EQ(table.current->Get(99), 1) << "slot 100 is position 99";
    EXPECT_EQ(table.current->Get(6), 1);
    table.MarkPresent(0);    // below the range: far beyond the count
    table.MarkPresent(101);  // above it
    table.EndScan();
    table.MarkPresent(0);
    table.MarkPresent(101);
    EXPECT_EQ(table.IsPresentInBoth(0), 0);
    EXPECT_EQ(table.IsPresentInBoth(101), 0);
}

TEST_F(PresenceTest, ARangeThatRunsBackwardsTracksNothingAndAllocatesNoGiantBlock) {
    PresenceTable oneBelow(8, 7);
    EXPECT_EQ(oneBelow.current->count, 0u);
    PresenceTable far(1000, 3);
    EXPECT_EQ(fake::CallCount("AllocateZeroed"), 4) << "the tables, and no flags for a count that wrapped";
    EXPECT_EQ(far.current->count, 0u);
    EXPECT_EQ(far.previous->count, 0u);
    far.MarkPresent(3);
    far.EndScan();
    far.MarkPresent(3);
    EXPECT_EQ(far.IsPresentInBoth(3), 0);
}

TEST_F(PresenceTest, FoundByTwoConsecutiveScansIsPresentInBoth) {
    PresenceTable table(0, 999);
    for (uint32_t slot = 0; slot < 1000; ++slot) EXPECT_EQ(table.IsPresentInBoth(slot), 0);

    table.MarkPresent(5);  // scan k
    EXPECT_EQ(table.IsPresentInBoth(5), 0);
    table.EndScan();
    table.MarkPresent(5);  // scan k+1
    EXPECT_EQ(table.IsPresentInBoth(5), 1);
    table.EndScan();
    table.MarkPresent(5);  // and every further consecutive one
    EXPECT_EQ(table.IsPresentInBoth(5), 1);
}

TEST_F(PresenceTest, AGapOrAMarkAbsentStartsOver) {
    PresenceTable table(0, 999);
    table.MarkPresent(5);  // found in k
    table.EndScan();
    table.MarkAbsent(5);  // not found in k+1
    table.EndScan();
    table.MarkPresent(5);  // found in k+2
    EXPECT_EQ(table.IsPresentInBoth(5), 0);

    table.EndScan();
    table.MarkPresent(5);
    EXPECT_EQ(table.IsPresentInBoth(5), 1);
    table.MarkAbsent(5);  // acted on during this scan
    EXPECT_EQ(table.IsPresentInBoth(5), 0);
    table.EndScan();
    table.MarkPresent(5);  // found again
    EXPECT_EQ(table.IsPresentInBoth(5), 0);
}

TEST_F(PresenceTest, EndScanCopiesCurrentIntoPreviousAndClearsCurrent) {
    PresenceTable table(10, 19);
    table.MarkPresent(10);
    table.MarkPresent(19);
    table.EndScan();
    EXPECT_EQ(table.previous->Get(0), 1);
    EXPECT_EQ(table.previous->Get(9), 1);
    EXPECT_EQ(table.previous->Get(1), 0);
    EXPECT_EQ(table.current->Get(0), 0);
    EXPECT_EQ(table.current->Get(9), 0);
    table.EndScan();
    EXPECT_EQ(table.previous->Get(0), 0) << "previous is replaced, not accumulated";
}

TEST_F(PresenceTest, AllocationFailuresLeaveATableThatTracksNothing) {
    // A table makes four blocks: each array and its flags. Fail the first one, two, ...
    for (int failing = 1; failing <= 4; ++failing) {
        fake::Reset();
        fake::state().failAllocations = failing;
        {
            PresenceTable table(0, 9);
            table.MarkPresent(3);
            table.EndScan();
            table.MarkPresent(3);
            EXPECT_EQ(table.IsPresentInBoth(3), 0) << failing;
            table.MarkAbsent(3);
            table.EndScan();
        }
        EXPECT_EQ(fake::state().blocksLive, 0) << failing;
    }
}

}  // namespace
