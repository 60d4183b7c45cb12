#include "json_out.hpp"

#include <charconv>

namespace velmor::cli {

void JsonOut::indent(std::size_t depth) {
  while (indents_.size() <= depth) indents_.push_back("\n" + std::string(indents_.size() * 2, ' '));
  buffer_.append(indents_[depth]);
}

void JsonOut::item() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (!level.empty) buffer_.push_back(',');
  level.empty = false;
  indent(levels_.size());
}

void JsonOut::open(char bracket) {
  item();
  buffer_.push_back(bracket);
  levels_.push_back({bracket});
}

void JsonOut::close() {
  if (levels_.empty()) return;
  const Level level = levels_.back();
  levels_.pop_back();
  if (!level.empty) indent(levels_.size());
  buffer_.push_back(level.bracket == '{' ? '}' : ']');
  if (levels_.empty()) buffer_.push_back('\n');
  put({});
}

JsonOut& JsonOut::key(std::string_view name) {
  item();
  buffer_.push_back('"');
  buffer_.append(name);
  buffer_.append("\": ");
  afterKey_ = true;
  return *this;
}

void JsonOut::escaped(std::string_view text) {
  // As nlohmann writes strings: the short escapes, \u00XX for the other
  // control characters, everything else (UTF-8 included) as it is. Runs of
  // plain characters go in whole: a show of millions of tiles writes
  // gigabytes of them.
  buffer_.push_back('"');
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    buffer_.append(text.substr(run, i - run));
    run = i + 1;
    switch (c) {
      case '"': buffer_.append("\\\""); break;
      case '\\': buffer_.append("\\\\"); break;
      case '\b': buffer_.append("\\b"); break;
      case '\f': buffer_.append("\\f"); break;
      case '\n': buffer_.append("\\n"); break;
      case '\r': buffer_.append("\\r"); break;
      case '\t': buffer_.append("\\t"); break;
      default: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned>(c));
        buffer_.append(hex);
      }
    }
  }
  buffer_.append(text.substr(run));
  buffer_.push_back('"');
}

void JsonOut::value(std::string_view text) {
  item();
  escaped(text);
  put({});
}

void JsonOut::value(std::int64_t number) {
  item();
  char digits[24];
  buffer_.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
  put({});
}

void JsonOut::value(std::uint64_t number) {
  item();
  char digits[24];
  buffer_.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
  put({});
}

void JsonOut::value(bool flag) {
  item();
  buffer_.append(flag ? "true" : "false");
  put({});
}

void JsonOut::json(const nlohmann::ordered_json& value) {
  item();
  const std::string text = value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  // Nested lines are indented for the top level; move them to this depth.
  const std::string shift(levels_.size() * 2, ' ');
  for (char c : text) {
    buffer_.push_back(c);
    if (c == '\n') buffer_.append(shift);
  }
  put({});
}

void JsonOut::flush() {
  if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
  buffer_.clear();
}

}  // namespace velmor::cli
