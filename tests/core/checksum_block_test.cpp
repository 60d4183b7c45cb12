// The 23-byte checksum block: where the CRC bytes go and what the filler is.
#include <gtest/gtest.h>

#include <deque>

#include "core/product/checksum_block.hpp"
#include "core/product/crc32.hpp"

using namespace velmor;

namespace {

class SequenceRandom : public RandomSource {
 public:
  explicit SequenceRandom(std::deque<double> values) : values_(std::move(values)) {}
  double uniform() override {
    double v = values_.front();
    values_.pop_front();
    return v;
  }
  std::size_t left() const { return values_.size(); }

 private:
  std::deque<double> values_;
};

}  // namespace

TEST(ChecksumBlock, CrcBytesBetweenTheFiller) {
  // 14 filler bytes, in file order: 0/255 .. 13/255 of the way give bytes 0 .. 13.
  std::deque<double> values;
  for (int i = 0; i < 14; ++i) values.push_back(i / 255.0);
  SequenceRandom random(values);
  const Bytes block = makeChecksumBlock(0x0ABCDEF1, random);
  const Bytes expected = {0x54, 0x14, 0x00, 0x00, 0x00, 0x0A, 0,  1,  2,    3,  4, 5,
                          0xBC, 6,    7,    0xDE, 8,    9,    10, 11, 0xF1, 12, 13};
  EXPECT_EQ(block, expected);
  EXPECT_EQ(random.left(), 0u);
  EXPECT_EQ(storedCrc(block), 0x0ABCDEF1u);
}

TEST(ChecksumBlock, FillerIsTheUniformNumberTimes255Rounded) {
  EXPECT_EQ(fillerByte(0.0), 0);
  EXPECT_EQ(fillerByte(0.25), 64);  // 63.75
  EXPECT_EQ(fillerByte(0.9999999), 255);
  EXPECT_EQ(fillerByte(0.001), 0);  // 0.255
}

TEST(ChecksumBlock, ClockRandomStaysInRange) {
  ClockRandom random;
  for (int i = 0; i < 1000; ++i) {
    const double v = random.uniform();
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
  }
}

// The check a reader makes of a saved file: the stored CRC against the
// CRC-32 of every byte before the checksum block.
TEST(ChecksumBlock, CheckCrcFindsTheBlockAndComparesWithTheBytesBeforeIt) {
  const Bytes header = {0x50, 0x04, 0x00, 'a', 'b', 'c', 'd'};
  SequenceRandom random(std::deque<double>(14, 0.5));
  Bytes file = header;
  const Bytes block = makeChecksumBlock(cCRC32().GetByteArrayCrc32(header), random);
  file.insert(file.end(), block.begin(), block.end());

  const CrcCheck good = checkCrc(file);
  EXPECT_EQ(good.status, CrcCheck::Status::Checked);
  EXPECT_EQ(good.offset, static_cast<std::int64_t>(header.size()));
  EXPECT_EQ(good.stored, good.computed);
  EXPECT_TRUE(good.matches());

  // A changed byte before the block: the same stored CRC, another computed one.
  Bytes changed = file;
  changed[4] = 'x';
  const CrcCheck bad = checkCrc(changed);
  EXPECT_EQ(bad.stored, good.stored);
  EXPECT_NE(bad.computed, good.computed);
  EXPECT_FALSE(bad.matches());

  // A block cut off before its last CRC byte (C0 at block offset 20) cannot be checked.
  const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(header.size() + kCrcBytePositions.back()));
  EXPECT_EQ(checkCrc(cut).status, CrcCheck::Status::CutOff);
  EXPECT_FALSE(checkCrc(cut).matches());
  EXPECT_EQ(storedCrcAt(file, good.offset), good.stored);
  EXPECT_FALSE(storedCrcAt(cut, good.offset));

  EXPECT_EQ(checkCrc(header).status, CrcCheck::Status::NoChecksumBlock);
}
