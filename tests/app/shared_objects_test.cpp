#include "app/shared_objects.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(SharedObjects, LiveFromInitGlobalsToReleaseGlobalsUsedOrNot)
{
    for (bool used : {false, true}) {
        SCOPED_TRACE(used ? "used" : "never run");
        InitGlobals();
        ASSERT_NE(ThreadRegex, nullptr);
        ASSERT_NE(ImageRegex, nullptr);
        EXPECT_NE(ThreadRegex.get(), ImageRegex.get());
        EXPECT_EQ(ThreadRegex->MatchCount(), 0);
        EXPECT_EQ(ImageRegex->GetPattern(), "");
        if (used) {
            ASSERT_TRUE(ThreadRegex->Create("a(b)", "abab"));
            ASSERT_TRUE(ImageRegex->Create("x", "y"));
            EXPECT_EQ(ThreadRegex->MatchCount(), 2);
        }
        ReleaseGlobals();
        EXPECT_EQ(ThreadRegex, nullptr);
        EXPECT_EQ(ImageRegex, nullptr);
    }
}

} // namespace
} // namespace vantrel
