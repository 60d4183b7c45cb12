// The 23-byte checksum block: where the CRC bytes go and what the filler is.
#include <gtest/gtest.h>

#include <deque>

#include "core/product/checksum_block.hpp"

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
  const Bytes expected = {0x54, 0x14, 0x00, 0x00, 0x00, 0x0A, 0, 1, 2, 3, 4, 5, 0xBC,
                          6,    7,    0xDE, 8,    9,    10,   11, 0xF1, 12, 13};
  EXPECT_EQ(block, expected);
  EXPECT_EQ(random.left(), 0u);
  EXPECT_EQ(storedCrc(block), 0x0ABCDEF1u);
}

TEST(ChecksumBlock, FillerIsTheUniformNumberTimes255Rounded) {
  EXPECT_EQ(fillerByte(0.0), 0);
  EXPECT_EQ(fillerByte(0.25), 64);      // 63.75
  EXPECT_EQ(fillerByte(0.9999999), 255);
  EXPECT_EQ(fillerByte(0.001), 0);      // 0.255
}

TEST(ChecksumBlock, ClockRandomStaysInRange) {
  ClockRandom random;
  for (int i = 0; i < 1000; ++i) {
    const double v = random.uniform();
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
  }
}
