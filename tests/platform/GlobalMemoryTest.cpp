#include "audio/platform/MMSystem.h"
#include "tests/support/CallRecorder.h"
#include "tests/support/Seams.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>

namespace {

constexpr UINT Shared = GMEM_MOVEABLE | GMEM_DDESHARE;

class GlobalMemory : public ::testing::Test {
    seams::TestPlatform platform_;
};

TEST_F(GlobalMemory, BlockLivesFromAllocToFreeWithCountedLocks) {
    const HGLOBAL handle = GlobalAlloc(Shared, 300);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GlobalSize(handle), 300u);

    auto* first = static_cast<unsigned char*>(GlobalLock(handle));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(std::all_of(first, first + 300, [](unsigned char b) { return b == 0; }));
    std::memset(first, 0x5A, 300);
    auto* second = static_cast<unsigned char*>(GlobalLock(handle));
    EXPECT_EQ(second, first);
    EXPECT_EQ(second[299], 0x5A);

    EXPECT_NE(GlobalUnlock(handle), 0) << "still locked once";
    EXPECT_EQ(GlobalUnlock(handle), 0) << "now unlocked";
    EXPECT_EQ(GlobalUnlock(handle), 0) << "not locked at all";
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST_F(GlobalMemory, StaleForeignAndNullHandlesFailCleanly) {
    const HGLOBAL stale = GlobalAlloc(Shared, 16);
    ASSERT_NE(GlobalLock(stale), nullptr);
    ASSERT_EQ(GlobalFree(stale), nullptr) << "a locked block is freed too";

    int notABlock = 0;
    const HGLOBAL foreign = reinterpret_cast<HGLOBAL>(&notABlock);
    for (const HGLOBAL bad : {stale, foreign}) {
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GlobalUnlock(bad), 0);
        EXPECT_EQ(GlobalFree(bad), bad);
    }
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
    EXPECT_EQ(GlobalAlloc(Shared | 0x0100, 8), nullptr) << "unknown flags";
}

TEST_F(GlobalMemory, EmptyBlockHasSizeZeroAndAnAddress) {
    const HGLOBAL handle = GlobalAlloc(Shared, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GlobalSize(handle), 0u);
    EXPECT_NE(GlobalLock(handle), nullptr);
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST_F(GlobalMemory, InjectedFailureAndRecordedArguments) {
    CallRecorder recorder;
    seams::FailCall(seams::Call::GlobalAlloc, MMSYSERR_NOMEM, 1);

    const HGLOBAL first = GlobalAlloc(Shared, 1800);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(GlobalAlloc(Shared, 900), nullptr);
    EXPECT_EQ(GlobalAlloc(Shared, 450), nullptr) << "fails every time once due";
    GlobalFree(first);

    const std::vector<seams::RecordedCall> expected = {
        {"GlobalAlloc", {0x2002, 1800}},
        {"GlobalAlloc", {0x2002, 900}},
        {"GlobalAlloc", {0x2002, 450}},
        {"GlobalFree", {}},
    };
    EXPECT_EQ(recorder.calls, expected);
}

} // namespace
