#include "core/settings.h"

#include <gtest/gtest.h>

#include <limits>

using namespace throngkit;

TEST(Settings, ListedMemberCountRoundsDownAndKeepsToCapacity)
{
    const struct { float howMany; int count; } cases[] = {
        {10.7f, 10}, {10.5f, 10}, {1.0f, 1}, {0.5f, 0}, {0.0f, 0}, {-3.0f, 0},
        {1000.0f, 1000}, {1000.9f, 1000}, {5000.0f, 1000},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 1000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ListedMemberCount(c.howMany), c.count) << c.howMany;
}
