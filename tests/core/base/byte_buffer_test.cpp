#include "core/base/byte_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/text_file.h"

namespace dxcc {
namespace {

// Growing keeps what is held, wherever the memory moves; the bytes added by a
// resize are the caller's to write.
TEST(ByteBuffer, KeepsItsBytesAsItGrowsShrinksAndMoves) {
    ByteBuffer buffer(std::string_view("AB"));
    buffer += "CD";
    const char* before = buffer.data();
    buffer.reserve(1 << 20);
    EXPECT_NE(buffer.data(), before);
    EXPECT_EQ(buffer.view(), "ABCD");
    buffer.resize(6);
    buffer[4] = 'E';
    buffer[5] = 'F';
    EXPECT_EQ(buffer.view(), "ABCDEF");
    EXPECT_EQ(buffer.back(), 'F');
    buffer.resize(3);
    EXPECT_EQ(buffer.view(), "ABC");
    EXPECT_EQ(buffer.capacity(), size_t{1} << 20);

    // Beyond its room, it takes at least twice as much, as a string does.
    ByteBuffer small(std::string_view("xy"));
    small.resize(3);
    EXPECT_GE(small.capacity(), 4u);
    EXPECT_EQ(small.view().substr(0, 2), "xy");

    ByteBuffer moved(std::move(buffer));
    EXPECT_EQ(moved.view(), "ABC");
    EXPECT_TRUE(buffer.empty());
    moved.release();
    EXPECT_EQ(moved.capacity(), 0u);
    moved += "Z";
    EXPECT_EQ(moved.view(), "Z");
}

// Counted sixteen bytes at a time, with each lane summed before it overflows.
TEST(CountByte, CountsEveryOneWhateverTheLengthAndTheByte) {
    struct Case {
        std::string bytes;
        char c;
        size_t count;
    };
    const Case cases[] = {
        {"", '\n', 0},
        {"\n", '\n', 1},
        {std::string(15, '\n'), '\n', 15},
        {std::string(16, '\n') + "x", '\n', 16},
        {"A\r\nB\r\n" + std::string(40, 'x') + "\n", '\n', 3},
        // Every byte a match, far beyond 255 per lane.
        {std::string(255 * 16 * 3 + 7, '\n'), '\n', 255 * 16 * 3 + 7},
        {std::string(5000, '\xE9'), '\xE9', 5000},
        {std::string(5000, '\xE9'), '\n', 0},
    };
    for (const Case& c : cases) EXPECT_EQ(countByte(c.bytes, c.c), c.count) << c.bytes.size();
    // From any start: the sixteen-byte blocks need no alignment.
    const std::string mixed = std::string(100, 'a') + std::string(100, '\n');
    for (size_t start = 0; start < 40; ++start)
        EXPECT_EQ(countByte(std::string_view(mixed).substr(start), '\n'), 100u) << start;
}

}  // namespace
}  // namespace dxcc
