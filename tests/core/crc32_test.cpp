#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <random>

#include "core/product/crc32.hpp"
#include "support/product_builder.hpp"

using namespace velmor;
using namespace velmor::test;

TEST(Crc32, KnownValues) {
  cCRC32 crc;
  const std::string check = "123456789";
  EXPECT_EQ(crc.GetByteArrayCrc32(Bytes(check.begin(), check.end())), 0xCBF43926u);
  EXPECT_EQ(crc.GetByteArrayCrc32(Bytes{}), 0u);
  EXPECT_EQ(crc.GetByteArrayCrc32(Bytes{0}), 0xD202EF8Du);
}

TEST(Crc32, TablesAndHardwareAgreeWithZlibOnEveryLengthAndAlignment) {
  std::mt19937 rng(12345);
  Bytes data(9000);
  for (auto& b : data) b = static_cast<std::uint8_t>(rng());
  cCRC32 fast(true);
  cCRC32 tables(false);
  for (std::size_t offset : {0u, 1u, 3u, 7u, 13u}) {
    for (std::size_t len = 0; len + offset <= data.size(); len += (len < 300 ? 1 : 97)) {
      std::span<const std::uint8_t> part(data.data() + offset, len);
      auto expected = static_cast<std::uint32_t>(crc32(0L, part.data(), static_cast<uInt>(len)));
      ASSERT_EQ(fast.GetByteArrayCrc32(part), expected) << "offset " << offset << " len " << len;
      ASSERT_EQ(tables.GetByteArrayCrc32(part), expected) << "offset " << offset << " len " << len;
    }
  }
}

TEST(Crc32, FileStreamReadsInChunksAndClosesItself) {
  cCRC32 crc;
  std::string dir = tempDir();
  auto write = [&](const std::string& name, std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    std::ofstream(dir + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    return bytes;
  };

  write("empty", 0);
  cBinaryFileStream empty;
  empty.File(dir + "/empty");
  std::uint8_t buffer[8192];
  EXPECT_EQ(empty.Read(buffer, 8192), 0);
  EXPECT_FALSE(empty.isOpen());
  empty.File(dir + "/empty");
  EXPECT_EQ(crc.GetFileCrc32(empty), 0u);

  // Exactly one buffer: the first read takes the "rest" branch and returns all of it.
  write("exact", 8192);
  cBinaryFileStream exact;
  exact.File(dir + "/exact");
  EXPECT_EQ(exact.Length(), 8192);
  EXPECT_EQ(exact.Read(buffer, 8192), 8192);
  EXPECT_TRUE(exact.isOpen());
  EXPECT_EQ(exact.Read(buffer, 8192), 0);
  EXPECT_FALSE(exact.isOpen());

  Bytes big = write("big", 20000);
  cBinaryFileStream stream;
  stream.File(dir + "/big");
  EXPECT_EQ(crc.GetFileCrc32(stream), static_cast<std::uint32_t>(crc32(0L, big.data(), 20000)));
  EXPECT_FALSE(stream.isOpen());
  stream.Dispose();  // harmless when closed

  cBinaryFileStream missing;
  try {
    missing.File(dir + "/none");
    FAIL() << "expected error 53";
  } catch (const FileNotFound& e) {
    EXPECT_EQ(e.number, 53);
    EXPECT_EQ(e.source.substr(e.source.size() - 5), ".File");
  }
  EXPECT_FALSE(missing.isOpen());
}
