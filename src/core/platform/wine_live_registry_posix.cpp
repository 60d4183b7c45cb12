#include "wine_live_registry.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "process_launcher.hpp"
#include "unicode_text.hpp"

namespace velmor {

namespace {

std::vector<std::uint8_t> utf16Data(const std::string& text) {
  std::vector<std::uint8_t> data;
  for (char16_t unit : utf8ToUtf16(text)) {
    data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    data.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  data.insert(data.end(), {0, 0});
  return data;
}

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A quoted text from `at` (just after the opening quote): \\ and \" are one
// character; `at` ends after the closing quote.
std::string quoted(const std::string& line, std::size_t& at) {
  std::string out;
  for (; at < line.size(); ++at) {
    if (line[at] == '\\' && at + 1 < line.size()) {
      out += line[++at];
    } else if (line[at] == '"') {
      ++at;
      break;
    } else {
      out += line[at];
    }
  }
  return out;
}

std::vector<std::uint8_t> hexBytes(const std::string& list) {
  std::vector<std::uint8_t> bytes;
  int high = -1;
  for (char c : list) {
    const int digit = hexDigitValue(c);
    if (digit < 0) {
      high = -1;
      continue;
    }
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  return bytes;
}

std::optional<RegistryValue> valueLine(const std::string& line) {
  RegistryValue value;
  std::size_t at = 0;
  if (line.rfind("@=", 0) == 0) {
    at = 1;
  } else if (!line.empty() && line[0] == '"') {
    at = 1;
    value.name = quoted(line, at);
  } else {
    return std::nullopt;
  }
  if (at >= line.size() || line[at] != '=') return std::nullopt;
  const std::string data = line.substr(at + 1);
  if (!data.empty() && data[0] == '"') {
    std::size_t from = 1;
    value.type = kRegSz;
    value.data = utf16Data(quoted(data, from));
  } else if (data.rfind("hex:", 0) == 0) {
    value.type = kRegBinary;
    value.data = hexBytes(data.substr(4));
  } else if (data.rfind("dword:", 0) == 0) {
    value.type = kRegDword;
    const unsigned long v = std::strtoul(data.c_str() + 6, nullptr, 16);
    for (int shift = 0; shift < 32; shift += 8) value.data.push_back(static_cast<std::uint8_t>(v >> shift));
  } else if (data.rfind("hex(", 0) == 0) {
    const auto close = data.find("):");
    if (close == std::string::npos) return std::nullopt;
    value.type = static_cast<std::uint32_t>(std::strtoul(data.c_str() + 4, nullptr, 16));
    value.data = hexBytes(data.substr(close + 2));
  } else {
    return std::nullopt;
  }
  return value;
}

std::string exportText(const std::string& bytes) {
  std::u16string units;
  std::size_t start =
      bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE
          ? 2
          : 0;
  for (std::size_t i = start; i + 1 < bytes.size(); i += 2)
    units.push_back(
        static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
  return utf16ToUtf8(units);
}

class LiveRegistry : public RegistryReader {
 public:
  explicit LiveRegistry(WinePrefix prefix) : prefix_(std::move(prefix)) {}

  std::optional<RegistryKeyListing> readKey(const std::string& path) override {
    std::string key = "HKEY_LOCAL_MACHINE";
    for (const std::string& part : registryPathParts(path)) key += "\\" + part;
    char name[] = "/tmp/velmor-reg-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) return std::nullopt;
    ::close(fd);
    std::optional<RegistryKeyListing> listing;
    if (auto target = prefix_.windowsPath(name)) {
      ProcessRequest request;
      request.program = "wine";
      request.arguments = {"reg", "export", key, *target, "/reg:32", "/y"};
      request.environment = {{"WINEPREFIX", prefix_.folder()}};
      const ProcessEnd end = runAndWait(systemProcesses(), request, {});
      std::ifstream in(name, std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), {});
      if (end.succeeded()) listing = exportedKey(exportText(bytes), key);
    }
    std::remove(name);
    return listing;
  }

  std::optional<std::string> defaultValue(const std::string& path) override {
    auto listing = readKey(path);
    if (!listing) return std::nullopt;
    for (const RegistryValue& v : listing->values)
      if (v.name.empty()) return registryText(v);
    return std::string();
  }

 private:
  WinePrefix prefix_;
};

}  // namespace

std::optional<RegistryKeyListing> exportedKey(const std::string& text, const std::string& keyPath) {
  RegistryKeyListing listing;
  bool found = false;
  bool inKey = false;
  const std::string wanted = lowerUtf8(keyPath);
  std::string pending;  // a value line continued with "\" at its end
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!pending.empty()) {
      const auto first = line.find_first_not_of(' ');
      line = pending + (first == std::string::npos ? "" : line.substr(first));
      pending.clear();
    }
    if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
      line.pop_back();
      pending = line;
      continue;
    }
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      const std::string name = line.substr(1, line.size() - 2);
      const std::string lower = lowerUtf8(name);
      inKey = lower == wanted;
      found = found || inKey;
      if (lower.size() > wanted.size() + 1 && lower.compare(0, wanted.size(), wanted) == 0 &&
          lower[wanted.size()] == '\\' && name.find('\\', wanted.size() + 1) == std::string::npos)
        listing.subkeys.push_back(name.substr(wanted.size() + 1));
      continue;
    }
    if (inKey) {
      if (auto value = valueLine(line)) listing.values.push_back(std::move(*value));
    }
  }
  if (!found) return std::nullopt;
  return listing;
}

std::unique_ptr<RegistryReader> wineLiveRegistry(const WinePrefix& prefix) {
  return std::make_unique<LiveRegistry>(prefix);
}

}  // namespace velmor
