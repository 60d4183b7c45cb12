#include <iostream>

#include "commands.hpp"
#include "core/common/bytes.hpp"
#include "core/product/checksum_block.hpp"
#include "file_bytes.hpp"

namespace velmor::cli {

void addVerifyCommand(CLI::App& app, int& exitCode) {
  auto* cmd =
      app.add_subcommand("verify", "Compare the stored CRC-32 with the CRC-32 of the bytes before the checksum block");
  auto file = std::make_shared<std::string>();
  cmd->add_option("FILE", *file, "Product file (.tdb)")->required();
  cmd->callback([&exitCode, file] {
    Bytes data;
    if (!readProductBytes(*file, data)) {
      exitCode = 1;
      return;
    }
    const CrcCheck check = checkCrc(data);
    if (check.status == CrcCheck::Status::NoChecksumBlock) {
      std::cerr << "No checksum block in " << *file << "\n";
      exitCode = 1;
      return;
    }
    if (check.status == CrcCheck::Status::CutOff) {
      std::cerr << "The checksum block at &" << hexUpper(static_cast<std::uint64_t>(check.offset)) << " is cut off\n";
      exitCode = 1;
      return;
    }
    std::cout << "stored:   " << hexUpper8(check.stored) << "\n"
              << "computed: " << hexUpper8(check.computed) << "\n"
              << (check.matches() ? "CRC matches" : "CRC MISMATCH") << "\n";
    exitCode = check.matches() ? 0 : 1;
  });
}

}  // namespace velmor::cli
