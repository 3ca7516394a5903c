#include "host/core/handles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace h = zolhost::handles;

namespace {

class Handles : public ::testing::Test {
protected:
    void SetUp() override {
        h::setRefuse(false);
        before_ = h::liveCount();
    }
    void TearDown() override {
        h::setRefuse(false);
        EXPECT_EQ(h::liveCount(), before_) << "a test leaked a handle";
    }
    size_t before_ = 0;
};

TEST_F(Handles, NewHandleIsZeroFilledAndReportsItsSize) {
    PF_Handle a = h::newHandle(48);
    ASSERT_TRUE(a);
    EXPECT_EQ(h::size(a), 48u);
    auto* p = static_cast<uint8_t*>(h::lock(a));
    ASSERT_TRUE(p);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(p[i], 0) << i;
    std::memcpy(p, "abc", 3);
    h::unlock(a);
    EXPECT_EQ(h::bytes(a)[2], 'c');
    h::dispose(a);
}

TEST_F(Handles, ZeroByteHandleStillLocksToAnAddress) {
    PF_Handle a = h::newHandle(0);
    ASSERT_TRUE(a);
    EXPECT_EQ(h::size(a), 0u);
    EXPECT_NE(h::lock(a), nullptr);
    h::unlock(a);
    h::dispose(a);
}

TEST_F(Handles, LocksAreCountedAndUnlockNeverGoesNegative) {
    PF_Handle a = h::newHandle(4);
    void* p1 = h::lock(a);
    void* p2 = h::lock(a);
    EXPECT_EQ(p1, p2);
    EXPECT_EQ(h::lockCount(a), 2);
    h::unlock(a);
    h::unlock(a);
    h::unlock(a);
    EXPECT_EQ(h::lockCount(a), 0);
    h::dispose(a);
}

TEST_F(Handles, DisposedAndForgedHandlesAreRefused) {
    PF_Handle a = h::newHandle(16);
    h::dispose(a);
    PF_Handle b = h::newHandle(16);
    EXPECT_NE(a, b) << "a disposed handle's value came back";
    PF_Handle forged = reinterpret_cast<PF_Handle>(reinterpret_cast<uintptr_t>(b) + 1);
    for (PF_Handle bad : {a, forged, PF_Handle{}}) {
        EXPECT_FALSE(h::isLive(bad));
        EXPECT_EQ(h::size(bad), 0u);
        EXPECT_EQ(h::lock(bad), nullptr);
        EXPECT_TRUE(h::bytes(bad).empty());
        h::unlock(bad);
        h::dispose(bad);
    }
    EXPECT_TRUE(h::isLive(b)) << "disposing a bad handle freed a good one";
    h::dispose(b);
}

TEST_F(Handles, RefuseSwitchFailsPlugInAllocationsOnly) {
    h::setRefuse(true);
    EXPECT_TRUE(h::refusing());
    EXPECT_EQ(h::newHandle(8), nullptr);
    // The host's own copy of a project's record is not the plug-in's to lose.
    PF_Handle own = h::newHostHandle({1, 2, 3});
    ASSERT_TRUE(own);
    EXPECT_EQ(h::bytes(own), (std::vector<uint8_t>{1, 2, 3}));
    h::dispose(own);
    h::setRefuse(false);
    PF_Handle a = h::newHandle(8);
    EXPECT_TRUE(a);
    h::dispose(a);
}

TEST_F(Handles, OversizedRequestFailsLikeFullMemory) {
    EXPECT_EQ(h::newHandle(h::kMaxHandleSize + 1), nullptr);
    EXPECT_EQ(h::newHandle(UINT64_MAX), nullptr);
}

}  // namespace
