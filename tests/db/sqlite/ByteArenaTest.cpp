#include "db/sqlite/ByteArena.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(ByteArenaTest, PlacesStayPutAndLargeRequestsGetBlocksOfTheirOwn)
{
    ByteArena arena;
    char* first = arena.allocate(100);
    std::memset(first, 'a', 100);
    const std::size_t oneBlock = arena.mappedBytes();
    char* large = arena.allocate(20 << 20);
    std::memset(large, 'b', 20 << 20);
    char* next = arena.allocate(100);
    EXPECT_EQ(next, first + 100);
    EXPECT_GE(arena.mappedBytes(), oneBlock + (20 << 20));
    EXPECT_EQ(std::string(first, 100), std::string(100, 'a'));
    EXPECT_NE(arena.allocate(0), nullptr);
    arena.clear();
    EXPECT_EQ(arena.mappedBytes(), 0u);
}
