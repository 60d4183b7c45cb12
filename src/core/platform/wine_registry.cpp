#include "wine_registry.hpp"

#include <algorithm>

#include "file_start.hpp"
#include "unicode_text.hpp"

namespace velmor {

namespace {

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
unsigned hexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return static_cast<unsigned>(c - 'A' + 10);
}
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Reads an escaped text from `pos` up to the unescaped `end` character and
// leaves `pos` after it. The escapes are Wine's: \\ \" \[ \] (any other
// character after "\" stands for itself), \a \b \e \f \n \r \t \v, \x with
// one to four hexadecimal digits, and octal \0 to \777. A byte that is not
// escaped is the character of the same number. False when `end` never comes.
bool unescape(std::string_view s, std::size_t& pos, char end, std::u16string& out) {
  while (pos < s.size() && s[pos] != end) {
    const char c = s[pos++];
    if (c != '\\') {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
      continue;
    }
    if (pos >= s.size()) return false;
    const char e = s[pos++];
    switch (e) {
      case 'a': out.push_back(u'\a'); break;
      case 'b': out.push_back(u'\b'); break;
      case 'e': out.push_back(char16_t{0x1B}); break;
      case 'f': out.push_back(u'\f'); break;
      case 'n': out.push_back(u'\n'); break;
      case 'r': out.push_back(u'\r'); break;
      case 't': out.push_back(u'\t'); break;
      case 'v': out.push_back(u'\v'); break;
      case 'x': {
        if (pos >= s.size() || !isHexDigit(s[pos])) {
          out.push_back(u'x');
          break;
        }
        unsigned value = 0;
        for (int digits = 0; digits < 4 && pos < s.size() && isHexDigit(s[pos]); ++digits)
          value = value * 16 + hexDigit(s[pos++]);
        out.push_back(static_cast<char16_t>(value));
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned value = static_cast<unsigned>(e - '0');
          for (int digits = 1; digits < 3 && pos < s.size() && s[pos] >= '0' && s[pos] <= '7'; ++digits)
            value = value * 8 + static_cast<unsigned>(s[pos++] - '0');
          out.push_back(static_cast<char16_t>(value));
        } else {
          out.push_back(static_cast<char16_t>(static_cast<unsigned char>(e)));
        }
    }
  }
  if (pos >= s.size()) return false;
  ++pos;  // the end character
  return true;
}

// Hexadecimal number at `pos` (as sscanf "%x" reads it), advancing `pos`.
bool hexNumber(std::string_view s, std::size_t& pos, std::uint32_t& value) {
  const std::size_t start = pos;
  value = 0;
  while (pos < s.size() && isHexDigit(s[pos])) value = value * 16 + hexDigit(s[pos++]);
  return pos > start;
}

bool startsWith(std::string_view s, std::size_t pos, std::string_view prefix) {
  return s.substr(pos, prefix.size()) == prefix;
}

std::vector<std::uint8_t> utf16le(const std::u16string& text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() * 2 + 2);
  for (char16_t unit : text) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

// Comma-separated hexadecimal bytes; a line ending in "\" goes on in the
// next line. `line` is advanced past the continuation lines it used.
bool hexBytes(const std::vector<std::string_view>& lines, std::size_t& line, std::size_t pos,
              std::vector<std::uint8_t>& out) {
  std::string_view s = lines[line];
  for (;;) {
    while (pos < s.size() && isHexDigit(s[pos])) {
      std::uint32_t value = 0;
      const std::size_t start = pos;
      hexNumber(s, pos, value);
      if (pos - start > 8 || value > 0xFF) return false;
      out.push_back(static_cast<std::uint8_t>(value));
      while (pos < s.size() && isBlank(s[pos])) ++pos;
      if (pos < s.size() && s[pos] == ',') ++pos;
      while (pos < s.size() && isBlank(s[pos])) ++pos;
    }
    if (pos >= s.size() || s[pos] != '\\') return true;
    if (line + 1 >= lines.size()) return false;
    s = lines[++line];
    pos = 0;
    while (pos < s.size() && isBlank(s[pos])) ++pos;
  }
}

// The data after "=": "text", str(N):"text", dword:N, hex:.., hex(N):..
bool valueData(const std::vector<std::string_view>& lines, std::size_t& line, std::size_t pos, RegistryValue& value) {
  std::string_view s = lines[line];
  std::uint32_t type = kRegSz;
  if (startsWith(s, pos, "str:")) {
    pos += 4;
  } else if (startsWith(s, pos, "str(")) {
    pos += 4;
    if (!hexNumber(s, pos, type) || !startsWith(s, pos, "):")) return false;
    pos += 2;
  } else if (startsWith(s, pos, "dword:")) {
    pos += 6;
    std::uint32_t dword = 0;
    if (!hexNumber(s, pos, dword)) return false;
    value.type = kRegDword;
    value.data = {static_cast<std::uint8_t>(dword), static_cast<std::uint8_t>(dword >> 8),
                  static_cast<std::uint8_t>(dword >> 16), static_cast<std::uint8_t>(dword >> 24)};
    return true;
  } else if (startsWith(s, pos, "hex:") || startsWith(s, pos, "hex(")) {
    type = kRegBinary;
    pos += 3;
    if (s[pos] == '(') {
      ++pos;
      if (!hexNumber(s, pos, type) || !startsWith(s, pos, ")")) return false;
      ++pos;
    }
    if (!startsWith(s, pos, ":")) return false;
    value.type = type;
    return hexBytes(lines, line, pos + 1, value.data);
  }
  if (!startsWith(s, pos, "\"")) return false;
  ++pos;
  std::u16string text;
  if (!unescape(s, pos, '"', text)) return false;
  value.type = type;
  value.data = utf16le(text);
  return true;
}

// The order in which Windows enumerates subkeys: compared in upper case.
bool enumeratesBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto up = [](char c) { return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c); };
    return up(x) < up(y);
  });
}

bool samePath(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!equalsNoCase(a[i], b[i])) return false;
  return true;
}

}  // namespace

std::size_t WineRegistry::ensureKey(const std::vector<std::string>& parts) {
  std::size_t at = 0;
  for (const std::string& part : parts) {
    const auto [it, created] = nodes_[at].children.try_emplace(lowerUtf8(part), nodes_.size());
    if (created) {
      nodes_[at].key.subkeys.push_back(part);
      nodes_.emplace_back();
      nodes_.back().key.name = part;
    }
    at = it->second;
  }
  return at;
}

WineRegistry WineRegistry::parse(std::string_view text, const std::vector<std::string>* onlyKey) {
  WineRegistry registry;
  registry.nodes_.emplace_back();
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }

  bool inHead = true;
  constexpr std::size_t kNoKey = static_cast<std::size_t>(-1);
  std::size_t keyIndex = kNoKey;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.empty()) continue;
    if (line[0] == '[') {
      inHead = false;
      keyIndex = kNoKey;
      std::size_t pos = 1;
      std::u16string name;
      if (!unescape(line, pos, ']', name)) continue;
      const std::vector<std::string> parts = registryPathParts(utf16ToUtf8(name));
      if (onlyKey && !samePath(parts, *onlyKey)) continue;
      keyIndex = registry.ensureKey(parts);
    } else if (line[0] == '#') {
      if (inHead && line == "#arch=win64") registry.is64Bit_ = true;
    } else if ((line[0] == '"' || line[0] == '@') && keyIndex != kNoKey) {
      RegistryValue value;
      std::size_t pos = 1;
      if (line[0] == '"') {
        std::u16string name;
        if (!unescape(line, pos, '"', name)) continue;
        value.name = utf16ToUtf8(name);
      }
      while (pos < line.size() && isBlank(line[pos])) ++pos;
      if (pos >= line.size() || line[pos] != '=') continue;
      ++pos;
      while (pos < line.size() && isBlank(line[pos])) ++pos;
      if (!valueData(lines, i, pos, value)) continue;
      // A name given twice keeps its place and takes the later data.
      Node& node = registry.nodes_[keyIndex];
      const auto [at, added] = node.valueAt.try_emplace(lowerUtf8(value.name), node.key.values.size());
      if (added) {
        node.key.values.push_back(std::move(value));
      } else {
        node.key.values[at->second] = std::move(value);
      }
    }
  }
  for (Node& node : registry.nodes_) {
    std::sort(node.key.subkeys.begin(), node.key.subkeys.end(), enumeratesBefore);
    node.valueAt = {};  // only the parse needs it
  }
  return registry;
}

std::optional<WineRegistry> WineRegistry::load(const std::string& path, std::string& error,
                                               const std::vector<std::string>* onlyKey) {
  auto bytes = readFileStart(path, kMaxWineRegistrySize + 1, error);
  if (!bytes) return std::nullopt;
  if (bytes->size() > kMaxWineRegistrySize) {
    error = "The registry file " + path + " is larger than " + std::to_string(kMaxWineRegistrySize >> 20) + " MiB.";
    return std::nullopt;
  }
  return parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), onlyKey);
}

const WineRegistry::Key* WineRegistry::find(const std::vector<std::string>& parts) const {
  if (nodes_.empty()) return nullptr;
  std::size_t at = 0;
  for (const std::string& part : parts) {
    const auto it = nodes_[at].children.find(lowerUtf8(part));
    if (it == nodes_[at].children.end()) return nullptr;
    at = it->second;
  }
  return &nodes_[at].key;
}

WineRegistryReader::WineRegistryReader(std::shared_ptr<const WineRegistry> registry, bool view32)
    : registry_(std::move(registry)), view32_(view32) {}

const WineRegistry::Key* WineRegistryReader::find(const std::string& path) const {
  std::vector<std::string> parts = registryPathParts(path);
  if (view32_ && registry_->is64Bit() && !parts.empty() && equalsNoCase(parts[0], "software") &&
      (parts.size() < 2 || !equalsNoCase(parts[1], "wow6432node"))) {
    parts.insert(parts.begin() + 1, "Wow6432Node");
  }
  return registry_->find(parts);
}

std::optional<RegistryKeyListing> WineRegistryReader::readKey(const std::string& path) {
  const WineRegistry::Key* key = find(path);
  if (!key) return std::nullopt;
  return RegistryKeyListing{key->values, key->subkeys, false};
}

std::optional<std::string> WineRegistryReader::defaultValue(const std::string& path) {
  const WineRegistry::Key* key = find(path);
  if (!key) return std::nullopt;
  for (const RegistryValue& value : key->values) {
    if (!value.name.empty()) continue;
    if (value.type != kRegSz && value.type != kRegExpandSz) return std::nullopt;
    return registryText(value);
  }
  return std::string();
}

}  // namespace velmor
