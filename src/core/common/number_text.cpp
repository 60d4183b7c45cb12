#include "number_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace velmor {

namespace {

// Writes the number text into `out` (at least 32 chars) and returns its length.
// Works on a stack buffer: the tile decoder runs this millions of times.
std::size_t numberTextTo(double value, int significantDigits, char* out) {
  if (value == 0) {
    out[0] = '0';
    return 1;
  }
  if (!std::isfinite(value)) {
    const char* t = std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
    std::size_t n = std::strlen(t);
    std::memcpy(out, t, n);
    return n;
  }
  char sci[40];
  auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, significantDigits - 1);
  const char* p = sci;
  const char* endp = res.ptr;
  bool negative = *p == '-';
  if (negative) ++p;
  char digits[24];
  std::size_t nd = 0;
  while (p < endp && *p != 'e') {
    if (*p != '.') digits[nd++] = *p;
    ++p;
  }
  ++p;  // 'e'
  bool negExp = *p == '-';
  ++p;  // sign
  int exponent = 0;
  while (p < endp) exponent = exponent * 10 + (*p++ - '0');
  if (negExp) exponent = -exponent;
  while (nd > 1 && digits[nd - 1] == '0') --nd;

  std::size_t n = 0;
  if (negative) out[n++] = '-';
  if (exponent < -4 || exponent >= significantDigits) {
    out[n++] = digits[0];
    if (nd > 1) {
      out[n++] = '.';
      for (std::size_t i = 1; i < nd; ++i) out[n++] = digits[i];
    }
    out[n++] = 'E';
    out[n++] = exponent < 0 ? '-' : '+';
    int mag = exponent < 0 ? -exponent : exponent;
    if (mag >= 100) out[n++] = static_cast<char>('0' + mag / 100);
    out[n++] = static_cast<char>('0' + (mag / 10) % 10);
    out[n++] = static_cast<char>('0' + mag % 10);
    return n;
  }
  if (exponent < 0) {
    out[n++] = '0';
    out[n++] = '.';
    for (int i = 0; i < -exponent - 1; ++i) out[n++] = '0';
    for (std::size_t i = 0; i < nd; ++i) out[n++] = digits[i];
    return n;
  }
  auto intDigits = static_cast<std::size_t>(exponent + 1);
  for (std::size_t i = 0; i < intDigits; ++i) out[n++] = i < nd ? digits[i] : '0';
  if (nd > intDigits) {
    out[n++] = '.';
    for (std::size_t i = intDigits; i < nd; ++i) out[n++] = digits[i];
  }
  return n;
}

}  // namespace

std::string numberText(double value, int significantDigits) {
  char buf[48];
  return std::string(buf, numberTextTo(value, significantDigits, buf));
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
  char buf[48];
  std::size_t n = numberTextTo(value, singlePrecision ? 7 : 15, buf);
  std::string_view text(buf, n);
  if (text.find('E') == std::string_view::npos) {
    // The common case without a temporary string: keep 5 decimals.
    std::size_t p = decimalSeparatorPosition(text);
    return std::string(text.substr(0, p == 0 ? 5 : p + 5));
  }
  return formatDegreesText(std::string(text));
}

double shownDegrees(float value) {
  char buf[48];
  std::size_t n = numberTextTo(static_cast<double>(value), 7, buf);
  std::string_view text(buf, n);
  std::string exponentForm;
  if (text.find('E') == std::string_view::npos) {
    const std::size_t p = decimalSeparatorPosition(text);
    text = text.substr(0, p == 0 ? 5 : p + 5);
  } else {
    exponentForm = formatDegreesText(std::string(text));
    text = exponentForm;
  }
  return parseNumber(text).value_or(0.0);
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

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<double> parseNumber(std::string_view text) {
  text = trimBlanks(text);
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
  text = trimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

float tileDegrees(std::int32_t units) {
  char buf[48];
  std::size_t n = numberTextTo(mapUnitsToDegrees(units), 15, buf);
  std::string_view text(buf, n);
  // roundSixthDecimal, in place.
  std::size_t s = decimalSeparatorPosition(text);
  if (s != 0 && text.find('E') == std::string_view::npos) {
    int d = (n >= s + 6) ? buf[s + 5] - '0' : 0;
    if (d > 4) {
      buf[s + 5] = static_cast<char>('0' + (d + 1 > 9 ? 9 : d + 1));
      n = s + 6;
    } else if (n > s + 6) {
      n = s + 6;
    }
  }
  double parsed = 0;
  std::from_chars(buf, buf + n, parsed);
  float single = static_cast<float>(parsed);
  // Round to 7 decimals (half to even, as the old runtime did) and keep single precision.
  double scaled = std::nearbyint(static_cast<double>(single) * 1e7) / 1e7;
  return static_cast<float>(scaled);
}

}  // namespace velmor
