#include "common/byte_view.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "common/block_header.h"
#include "common/byte_writer.h"

TEST(ByteView, ReadsNumbersInBothByteOrders) {
    const uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78};
    ByteView view{bytes, sizeof bytes};
    uint16_t u16 = 0;
    uint32_t le = 0, be = 0;
    ASSERT_TRUE(view.ReadU16LE(2, &u16));
    ASSERT_TRUE(view.ReadU32LE(0, &le));
    ASSERT_TRUE(view.ReadU32BE(0, &be));
    EXPECT_EQ(u16, 0x7856);
    EXPECT_EQ(le, 0x78563412u);
    EXPECT_EQ(be, 0x12345678u);
}

// The writers put numbers in the byte orders that the view reads.
TEST(ByteWriter, WritesNumbersInBothByteOrders) {
    std::vector<uint8_t> bytes;
    AppendU16LE(bytes, 0x7856);
    AppendU32LE(bytes, 0x78563412u);
    AppendU32BE(bytes, 0x12345678u);
    AppendBytes(bytes, {7, 8});
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x56, 0x78, 0x12, 0x34, 0x56, 0x78, 0x12, 0x34, 0x56,
                                           0x78, 7, 8}));
}

TEST(ByteView, RefusesEveryReadThatWouldLeaveTheView) {
    const uint8_t bytes[] = {1, 2, 3};
    ByteView view{bytes, sizeof bytes};
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    ByteView sub;
    EXPECT_FALSE(view.ReadU8(3, &u8));
    EXPECT_FALSE(view.ReadU16LE(2, &u16));
    EXPECT_FALSE(view.ReadU32LE(0, &u32));
    EXPECT_FALSE(view.Sub(1, std::numeric_limits<size_t>::max(), &sub));  // no wrap-around
    EXPECT_FALSE(view.Sub(std::numeric_limits<size_t>::max(), 1, &sub));
    EXPECT_TRUE(view.Sub(3, 0, &sub));
    EXPECT_EQ(sub.size, 0u);
    EXPECT_EQ(view.From(7).size, 0u);
}

TEST(BlockHeader, ReadsTagAndBigEndianSize) {
    const uint8_t bytes[] = {'V', 'E', 'R', 'M', 0x00, 0x00, 0x01, 0x02, 0xFF};
    BlockHeader header;
    ASSERT_TRUE(header.Read(ByteView{bytes, sizeof bytes}, 0));
    EXPECT_TRUE(header.Is("VERM"));
    EXPECT_FALSE(header.Is("verm"));
    EXPECT_EQ(header.size, 0x102u);
    EXPECT_FALSE(header.Read(ByteView{bytes, sizeof bytes}, 2));
}
