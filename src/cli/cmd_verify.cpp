#include <iostream>

#include "commands.hpp"
#include "core/product/block_walk.hpp"
#include "core/common/byte_reader.hpp"
#include "core/product/crc32.hpp"
#include "file_bytes.hpp"

namespace velmor::cli {

void addVerifyCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("verify", "Compare the stored CRC-32 with the CRC-32 of the bytes before the checksum block");
  auto file = std::make_shared<std::string>();
  cmd->add_option("FILE", *file, "Product file (.tdb)")->required();
  cmd->callback([&exitCode, file] {
    Bytes data;
    if (!readProductBytes(*file, data)) {
      exitCode = 1;
      return;
    }
    const std::int64_t p = findChecksumBlock(data);
    if (p < 0) {
      std::cerr << "No checksum block in " << *file << "\n";
      exitCode = 1;
      return;
    }
    ByteReader r(data);
    if (!r.inside(p, 21)) {
      std::cerr << "The checksum block at &" << hexUpper(static_cast<std::uint64_t>(p)) << " is cut off\n";
      exitCode = 1;
      return;
    }
    const std::uint32_t stored = static_cast<std::uint32_t>(r.dat(p + 5)) << 24 |
                                 static_cast<std::uint32_t>(r.dat(p + 12)) << 16 |
                                 static_cast<std::uint32_t>(r.dat(p + 15)) << 8 | r.dat(p + 20);
    cCRC32 crc;
    const std::uint32_t computed =
        crc.GetByteArrayCrc32(std::span<const std::uint8_t>(data.data(), static_cast<std::size_t>(p)));
    auto hex8 = [](std::uint32_t v) {
      std::string h = hexUpper(v);
      return std::string(8 - h.size(), '0') + h;
    };
    std::cout << "stored:   " << hex8(stored) << "\n"
              << "computed: " << hex8(computed) << "\n"
              << (stored == computed ? "CRC matches" : "CRC MISMATCH") << "\n";
    exitCode = stored == computed ? 0 : 1;
  });
}

}  // namespace velmor::cli
