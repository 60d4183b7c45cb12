#pragma once
// Decodes the blocks of a product file into the model and the form, and
// writes the block report. Used by get_data; one decoder per decoding.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "product_form.hpp"
#include "../common/prompter.hpp"
#include "../common/byte_reader.hpp"
#include "code_page.hpp"
#include "product_file.hpp"

namespace velmor {

class ProductDecoder {
 public:
  // `bytes` are the file's data for an edit; a report may read them from
  // elsewhere.
  ProductDecoder(ProductFile& file, ProductForm& form, std::span<const std::uint8_t> bytes);

  // Header block at offset 0; returns its body length.
  std::uint16_t decodeHeader();
  void getcopyr(std::int64_t o, int index);
  void getoverview(std::int64_t o);
  void getdetailmap(std::int64_t o, int k);
  void get52(std::int64_t o, int index);
  void get53(std::int64_t o, int index);
  // Reads the stored CRC of the checksum block at p and puts its line in
  // front of the report; returns the line ("" when it could not be read).
  std::string checksum(std::int64_t p);

  void appendReport(const std::string& line) {
    file_.report += line;
    file_.report += kCrLf;
  }
  const ByteReader& reader() const { return reader_; }
  // Whether detail-map blocks go into the form's tile list (the window's);
  // their bounds count either way.
  void keepTiles(bool keep) { keepTiles_ = keep; }
  // bit2/bit4 that note a read past the end of the data in errorText.
  std::uint16_t bit2(std::int64_t offset);
  std::int32_t bit4(std::int64_t offset);

 private:
  std::string text(const Bytes& bytes) const { return codePage_->decode(bytes); }
  std::uint8_t tailByte(int offset) const;
  void decodeTileCopyright(std::int64_t o, std::string& box, bool& enabled, std::string& kept);

  float tileBound(std::int32_t units);

  static constexpr int kBoundCacheBits = 12;
  struct BoundSlot {
    std::int32_t units = 0;
    float degrees = 0;
    bool used = false;
  };
  std::array<BoundSlot, 1u << kBoundCacheBits> boundCache_{};
  ProductFile& file_;
  ProductForm& form_;
  ByteReader reader_;
  const CodePage* codePage_;
  bool keepTiles_ = true;
};

}  // namespace velmor
