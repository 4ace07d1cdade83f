#include "platform/text/short_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace platform::text {
namespace {

TEST(ShortStringTest, WriteCutsToCapacityAndZeroFillsTheRest) {
  std::vector<unsigned char> record(13, 0xEE);  // an 11-byte field between two guard bytes
  WriteShortString(&record[1], 10, "Acme Tools Inc");
  EXPECT_EQ(record[1], 10);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&record[2]), 10), "Acme Tools");
  EXPECT_EQ(record[12], 0xEE);
  EXPECT_EQ(record[0], 0xEE);

  WriteShortString(&record[1], 10, "Acme");
  EXPECT_EQ(record[1], 4);
  EXPECT_EQ(ReadShortString(&record[1], 10), "Acme");
  for (int i = 6; i <= 11; ++i) EXPECT_EQ(record[i], 0) << "byte " << i;
  EXPECT_EQ(record[12], 0xEE);
}

TEST(ShortStringTest, ReadClampsADamagedLengthByteToTheField) {
  unsigned char field[11];
  std::memset(field, 'x', sizeof field);
  field[0] = 255;
  EXPECT_EQ(ReadShortString(field, 10), std::string(10, 'x'));
  field[0] = 0;
  EXPECT_EQ(ReadShortString(field, 10), "");
}

TEST(ShortStringTest, RecordMemberSitsAtAnyOffsetAndKeepsItsBytes) {
  struct Rec {
    uint8_t Flag;
    ShortString<8> Number;
    ShortString<1> Kind;
  };
  static_assert(sizeof(ShortString<8>) == 9);
  static_assert(sizeof(Rec) == 12);
  static_assert(offsetof(Rec, Kind) == 10);
  Rec r{};
  r.Number.Set("C100");
  r.Kind.Set("YES");
  EXPECT_EQ(r.Number.Get(), "C100");
  EXPECT_EQ(r.Kind.Get(), "Y");
  r.Number.Length = 200;  // as a damaged file would leave it
  EXPECT_EQ(r.Number.Get().size(), 8u);
  // Bytes of any value, Windows-1252 letters included, are kept as they are.
  r.Number.Set(std::string("\xe9\0\xff", 3));
  EXPECT_EQ(r.Number.Get(), std::string("\xe9\0\xff", 3));
}

}  // namespace
}  // namespace platform::text
