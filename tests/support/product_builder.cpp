#include "product_builder.hpp"

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "core/platform/utf8_path.hpp"

namespace velmor::test {

Bytes le16(std::uint16_t v) { return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)}; }
Bytes le32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}
Bytes text0(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}
Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes block(std::uint8_t type, const Bytes& body) {
  return cat({{type}, le16(static_cast<std::uint16_t>(body.size())), body});
}

Bytes headerBody(std::uint16_t pid, std::uint16_t fid, std::uint16_t version, const std::string& series,
                 const std::string& family, const Bytes& tail) {
  return cat({le16(pid), le16(fid), le16(version), text0(series), {0x64, 0x00}, text0(family), tail});
}

Bytes defaultTail(int length) {
  Bytes t(static_cast<std::size_t>(length), 0);
  auto set = [&](int k, std::uint8_t v) {
    if (k < length) t[static_cast<std::size_t>(k)] = v;
  };
  set(1, 0x12);
  set(2, 1);
  set(3, 1);
  set(4, 1);
  set(10, 0x18);
  set(30, 0xE4);
  set(31, 0x04);
  set(34, 0x10);
  set(35, 0x27);
  return t;
}

Bytes copyrightBody(std::uint8_t code, std::uint8_t kind, const std::vector<std::string>& texts) {
  Bytes body;
  for (const std::string& t : texts) {
    Bytes rec = cat({{code, kind, 0x03, 0x00}, text0(t)});
    body.insert(body.end(), rec.begin(), rec.end());
  }
  return body;
}

Bytes overviewBody(std::int32_t number, std::int32_t parent, std::int32_t n, std::int32_t e, std::int32_t s,
                   std::int32_t w, const std::string& name) {
  return cat({le32(static_cast<std::uint32_t>(number)), le32(static_cast<std::uint32_t>(parent)),
              le32(static_cast<std::uint32_t>(n)), le32(static_cast<std::uint32_t>(e)),
              le32(static_cast<std::uint32_t>(s)), le32(static_cast<std::uint32_t>(w)), text0(name)});
}

Bytes tileBody(std::int32_t number, std::int32_t parent, std::int32_t n, std::int32_t e, std::int32_t s, std::int32_t w,
               const std::string& description, const std::vector<std::pair<std::string, std::uint32_t>>& subfiles) {
  Bytes body = cat({le32(static_cast<std::uint32_t>(number)),
                    le32(static_cast<std::uint32_t>(parent)),
                    le32(static_cast<std::uint32_t>(n)),
                    le32(static_cast<std::uint32_t>(e)),
                    le32(static_cast<std::uint32_t>(s)),
                    le32(static_cast<std::uint32_t>(w)),
                    text0(description),
                    {0x01, 0x00},
                    le16(static_cast<std::uint16_t>(subfiles.size()))});
  for (const auto& sf : subfiles) {
    Bytes size = le32(sf.second);
    body.insert(body.end(), size.begin(), size.end());
  }
  Bytes seven = {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
  body.insert(body.end(), seven.begin(), seven.end());
  for (const auto& sf : subfiles) {
    Bytes name = text0(sf.first);
    body.insert(body.end(), name.begin(), name.end());
  }
  return body;
}

Bytes checksumBlock(std::uint32_t crc) {
  Bytes body(20, 0);
  body[2] = static_cast<std::uint8_t>(crc >> 24);
  body[9] = static_cast<std::uint8_t>(crc >> 16);
  body[12] = static_cast<std::uint8_t>(crc >> 8);
  body[17] = static_cast<std::uint8_t>(crc);
  return block(0x54, body);
}

Bytes sampleProduct() {
  Bytes content = cat({
      block(0x50, headerBody(7, 4660, 409, "Sample Series", "Sample Family", defaultTail(58))),
      block(0x44, copyrightBody(3, 6, {"Copyright sample maps", "Second line"})),
      block(0x42, overviewBody(0x00123456, 0, 0x20000000, 0x01000000, 0x1C000000, 0, "Sample overview")),
      block(0x4C, tileBody(10001, 0x00123456, 0x1E000000, 0x00800000, 0x1C000000, 0, "First tile",
                           {{"10001.TRE", 0x200}, {"10001.RGN", 0x1000}})),
      block(0x4C, tileBody(10002, 0x00123456, 0x20000000, 0x01000000, 0x1E000000, 0x00800000, "Second tile",
                           {{"10002.TRE", 0x300}})),
  });
  auto crc = static_cast<std::uint32_t>(crc32(0L, content.data(), static_cast<uInt>(content.size())));
  Bytes sum = checksumBlock(crc);
  content.insert(content.end(), sum.begin(), sum.end());
  return content;
}

namespace {

// The folders a test made go when its process ends (VELMOR_KEEP_TEST_FILES
// keeps them for a look after a failure).
struct MadeFolders {
  std::vector<std::string> folders;
  ~MadeFolders() {
    if (std::getenv("VELMOR_KEEP_TEST_FILES")) return;
    for (const std::string& folder : folders) {
      std::error_code ignored;
#ifdef _WIN32
      // Windows deletes no read-only file, and backups are read-only.
      for (std::filesystem::recursive_directory_iterator it(pathFromUtf8(folder), ignored), end; !ignored && it != end;
           it.increment(ignored)) {
        std::error_code each;
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, each);
      }
#endif
      std::filesystem::remove_all(pathFromUtf8(folder), ignored);
    }
  }
};

MadeFolders& madeFolders() {
  static MadeFolders made;
  return made;
}

}  // namespace

std::string tempDir() {
#ifdef _WIN32
  // A fresh random name, made only when it is not there: the folder is
  // never one another test made.
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 32; ++attempt) {
    const std::filesystem::path folder = base / ("velmor-test-" + std::to_string(random() % 1000000000u));
    std::error_code ec;
    if (std::filesystem::create_directory(folder, ec)) {
      madeFolders().folders.push_back(utf8FromPath(folder));
      return utf8FromPath(folder);
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
#else
  // mkdtemp, not a name made of the process id: every test runs in its own
  // process, and a reused id would land in an earlier test's folder.
  std::string pattern = (std::filesystem::temp_directory_path() / "velmor-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  madeFolders().folders.push_back(pattern);
  return pattern;
#endif
}

std::string writeTemp(const Bytes& bytes, const std::string& name) {
  std::string path = tempDir() + "/" + name;
  std::ofstream out(pathFromUtf8(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

Bytes readFile(const std::string& path) {
  std::ifstream in(pathFromUtf8(path), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velmor::test
