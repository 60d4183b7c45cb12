#pragma once
// JSON written as it is produced, laid out exactly as nlohmann's dump(2)
// lays it out. A product of millions of tiles never exists as one tree in
// memory: each tile is written and forgotten.
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace velmor::cli {

class JsonOut {
 public:
  explicit JsonOut(std::FILE* out) : out_(out) {}
  ~JsonOut() { flush(); }
  JsonOut(const JsonOut&) = delete;
  JsonOut& operator=(const JsonOut&) = delete;

  void openObject() { open('{'); }
  void openArray() { open('['); }
  void close();
  // The key of the next value inside an object: a plain name, written as it is.
  JsonOut& key(std::string_view name);

  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  void value(std::int64_t number);
  void value(std::uint64_t number);
  void value(int number) { value(static_cast<std::int64_t>(number)); }
  void value(std::uint32_t number) { value(static_cast<std::uint64_t>(number)); }
  void value(bool flag);
  // A small value built with nlohmann, dumped in place.
  void json(const nlohmann::ordered_json& value);

  void flush();

 private:
  void open(char bracket);
  // Separator and indentation before a value (not after a key).
  void item();
  void indent(std::size_t depth);
  void escaped(std::string_view text);
  void put(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= 1 << 16) flush();
  }

  struct Level {
    char bracket;
    bool empty = true;
  };
  std::FILE* out_;
  std::string buffer_;
  std::vector<Level> levels_;
  std::vector<std::string> indents_;  // a line break and the spaces of each depth
  bool afterKey_ = false;
};

}  // namespace velmor::cli
