#include "number_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace velmor {

std::string numberText(double value, int significantDigits) {
  if (value == 0 || !std::isfinite(value)) return value == 0 ? "0" : (std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf"));
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significantDigits - 1);
  std::string sci(buf, res.ptr);
  bool negative = sci[0] == '-';
  if (negative) sci.erase(0, 1);
  std::size_t ePos = sci.find('e');
  int exponent = std::atoi(sci.c_str() + ePos + 1);
  std::string digits;
  for (std::size_t i = 0; i < ePos; ++i) {
    if (sci[i] != '.') digits.push_back(sci[i]);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent < -4 || exponent >= significantDigits) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    int mag = std::abs(exponent);
    if (mag < 10) out += '0';
    out += std::to_string(mag);
    return out;
  }
  if (exponent < 0) {
    out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    return out;
  }
  auto intDigits = static_cast<std::size_t>(exponent + 1);
  if (digits.size() <= intDigits) {
    out += digits + std::string(intDigits - digits.size(), '0');
  } else {
    out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
  }
  return out;
}

std::size_t decimalSeparatorPosition(std::string_view text) {
  std::size_t p = text.find('.');
  if (p == std::string_view::npos) p = text.find(',');
  return p == std::string_view::npos ? 0 : p + 1;
}

std::string formatDegreesText(const std::string& text) {
  std::size_t ePos = text.find('E');
  if (ePos == std::string::npos) {
    std::size_t p = decimalSeparatorPosition(text);
    return text.substr(0, p == 0 ? 5 : p + 5);
  }
  // Exponent form: write the mantissa digits behind "0." and e - 1 zeros,
  // where e is the last digit of the exponent.
  int e = text.back() - '0';
  std::string mantissa;
  bool negative = false;
  for (std::size_t i = 0; i < ePos; ++i) {
    char c = text[i];
    if (c == '-') negative = true;
    else if (c != '.' && c != ',') mantissa.push_back(c);
  }
  std::string out = "0." + std::string(static_cast<std::size_t>(e > 1 ? e - 1 : 0), '0') + mantissa;
  out = out.substr(0, 7);
  return negative ? "-" + out : out;
}

std::string formatDegrees(double value, bool singlePrecision) {
  return formatDegreesText(numberText(value, singlePrecision ? 7 : 15));
}

std::string roundSixthDecimal(const std::string& text) {
  std::size_t s = decimalSeparatorPosition(text);
  // An exponent text has no sixth decimal to round; cutting it would turn
  // 5E-05 into 5, so it passes unchanged.
  if (s == 0 || text.find_first_of("Ee") != std::string::npos) return text;
  int d = 0;
  if (text.size() >= s + 6) {
    char c = text[s + 5];
    d = (c >= '0' && c <= '9') ? c - '0' : 0;
  }
  if (d > 4) {
    int next = d + 1 > 9 ? 9 : d + 1;
    return text.substr(0, s + 5) + static_cast<char>('0' + next);
  }
  return text.substr(0, s + 6);
}

std::string padDecimals(const std::string& text) {
  std::size_t s = decimalSeparatorPosition(text);
  if (s == 0) return text;
  std::string out = text;
  while (out.size() - s < 7) out.push_back('1');
  return out;
}

namespace {
std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}
}  // namespace

std::optional<double> parseNumber(std::string_view text) {
  text = trimmed(text);
  if (text.empty()) return std::nullopt;
  std::string copy(text);
  for (char& c : copy) {
    if (c == ',') c = '.';
  }
  const char* first = copy.c_str();
  if (*first == '+') ++first;
  double value = 0;
  auto res = std::from_chars(first, copy.c_str() + copy.size(), value);
  if (res.ec != std::errc() || res.ptr != copy.c_str() + copy.size()) return std::nullopt;
  return value;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

float tileDegrees(std::int32_t units) {
  std::string text = roundSixthDecimal(numberText(mapUnitsToDegrees(units)));
  auto parsed = parseNumber(text);
  float single = static_cast<float>(parsed.value_or(0.0));
  // Round to 7 decimals (half to even, as the old runtime did) and keep single precision.
  double scaled = std::nearbyint(static_cast<double>(single) * 1e7) / 1e7;
  return static_cast<float>(scaled);
}

}  // namespace velmor
