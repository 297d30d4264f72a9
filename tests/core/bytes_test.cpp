#include "core/bytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace tolvaris {
namespace {

ByteArray Of(std::vector<uint8_t> bytes) { return ByteArray(std::move(bytes)); }

TEST(ByteArrays, ConvertToAndFromText) {
  EXPECT_EQ(TextToBytes(Text()), ByteArray());
  EXPECT_EQ(TextToBytes(Text("Date:")), Of({'D', 'a', 't', 'e', ':'}));
  EXPECT_EQ(BytesToText(Of({0x41, 0x00, 0x42})), Text("A"));
  EXPECT_EQ(BytesToText(Of({0x00, 0x42})), Text());
  EXPECT_EQ(BytesToText(ByteArray()), Text());
  const Text gbk("\xB1\xB1\xBE\xA9 x");
  EXPECT_EQ(BytesToText(TextToBytes(gbk)), gbk);
}

TEST(ByteArrays, BlankConcatAndEqual) {
  EXPECT_EQ(BlankBytes(0), ByteArray());
  EXPECT_EQ(BlankBytes(-3), ByteArray());
  EXPECT_EQ(BlankBytes(3), Of({0, 0, 0}));
  EXPECT_EQ(BytesLength(BlankBytes(3)), 3);
  EXPECT_EQ(BytesLength(ByteArray()), 0);

  const ByteArray abc = Of({'a', 'b', 'c'});
  EXPECT_EQ(ConcatBytes(ByteArray(), ByteArray()), ByteArray());
  EXPECT_EQ(ConcatBytes(abc, ByteArray()), abc);
  EXPECT_EQ(ConcatBytes(abc, Of({0, 0xFF}), abc), Of({'a', 'b', 'c', 0, 0xFF, 'a', 'b', 'c'}));

  EXPECT_TRUE(BytesEqual(ByteArray(), ByteArray()));
  EXPECT_FALSE(BytesEqual(ByteArray(), abc));
  EXPECT_FALSE(BytesEqual(abc, Of({'a', 'b'})));
  EXPECT_FALSE(BytesEqual(abc, Of({'a', 'b', 'd'})));
  EXPECT_TRUE(BytesEqual(abc, Of({'a', 'b', 'c'})));
}

TEST(ByteArrays, ByteAtReadsUnsignedAndWritesInPlace) {
  ByteArray bytes = Of({0x41, 0x80, 0xFF});
  EXPECT_EQ(ByteAt(bytes, 1), 0x41);
  EXPECT_EQ(ByteAt(bytes, 2), 128);
  EXPECT_EQ(ByteAt(bytes, 3), 255);
  ByteAt(bytes, 2, 0x00);
  EXPECT_EQ(bytes, Of({0x41, 0x00, 0xFF}));
  // Outside 1..length no caller goes; it must still touch nothing.
  ByteAt(bytes, 4, 0x01);
  ByteAt(bytes, 0, 0x01);
  EXPECT_EQ(bytes, Of({0x41, 0x00, 0xFF}));
  EXPECT_EQ(ByteAt(bytes, 0), 0);
  EXPECT_EQ(ByteAt(bytes, 4), 0);
}

TEST(ByteValues, ToByteBitAndAndShifts) {
  EXPECT_EQ(ToByte(61), 61);
  EXPECT_EQ(ToByte(317), 61);
  EXPECT_EQ(ToByte(-1), 255);
  EXPECT_EQ(ToByte(CharCode(Text("="))), 0x3D);

  EXPECT_EQ(BitAnd(0xFF, 3), 3);
  EXPECT_EQ(BitAnd(-1, INT32_MIN), INT32_MIN);

  const struct {
    int32_t value;
    int32_t count;
    int32_t left;
    int32_t right;
  } shifts[] = {
      {0xFC, 2, 0x3F0, 0x3F},
      {3, 4, 48, 0},
      {0xFF, 6, 0x3FC0, 3},
      {1, 31, INT32_MIN, 0},
      {INT32_MIN, 1, 0, -0x40000000},  // the top bit is lost on the left, copied on the right
      {-1, 31, INT32_MIN, -1},
      {-8, 2, -32, -2},
      {0x40000000, 2, 0, 0x10000000},
      {5, 0, 5, 5},
      {5, 32, 5, 5},  // counts are taken modulo 32
      {5, 33, 10, 2},
      {5, -31, 10, 2},
  };
  for (const auto& s : shifts) {
    SCOPED_TRACE(std::to_string(s.value) + " by " + std::to_string(s.count));
    EXPECT_EQ(ShiftLeft(s.value, s.count), s.left);
    EXPECT_EQ(ShiftRight(s.value, s.count), s.right);
  }
  EXPECT_EQ(ShiftLeft(BitAnd(0xFF, 3), 4), 48);
}

}  // namespace
}  // namespace tolvaris
