#include "common/Common.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

bool PadToWidth = true;

namespace {

// The decimal separator of all number text, written and read alike. It is "."
// whatever the user's locale says: the reader takes only "." as a number
// character and drops every ",", so a "," separator from the locale would read
// "1,5" back as 15 and would split the comma-separated fields of a transfer
// file. The conversions go through std::to_chars and std::from_chars, which
// follow neither the C nor the Qt locale.
constexpr char kDecimalSeparator = '.';

// Fixed-point text is rounded from the value's decimal expansion to 18
// significant digits and keeps at most 17 of them; places behind the 17th
// significant digit are written as "0".
constexpr int kExpansionDigits = 18;
constexpr int kKeptDigits = 17;

// From this magnitude on the fixed-point form gives way to the exponent form.
constexpr double kExponentFormFrom = 1e17;

// No control asks for more than a few decimals; the bound keeps the place
// arithmetic in range whatever a caller passes.
constexpr int kMaxDecimals = 1000;

int ClampDecimals(int decimals) { return std::clamp(decimals, 0, kMaxDecimals); }

// Significant decimal digits of a finite value: digits[0] stands at the place
// 10^exponent, the following ones one place lower each.
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

DecimalDigits Expand(double value) {
  char buffer[48];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                     std::chars_format::scientific, kExpansionDigits - 1);
  // The text has the shape "-d.ddddddddddddddddde+xx".
  std::string_view text(buffer, static_cast<size_t>(written.ptr - buffer));
  DecimalDigits result;
  if (text.front() == '-') {
    result.negative = true;
    text.remove_prefix(1);
  }
  const size_t e = text.find('e');
  result.digits.reserve(kExpansionDigits + 1);
  result.digits += text[0];
  result.digits.append(text.substr(2, e - 2));
  std::string_view exponent = text.substr(e + 1);
  if (exponent.front() == '+') exponent.remove_prefix(1);
  std::from_chars(exponent.data(), exponent.data() + exponent.size(), result.exponent);
  return result;
}

// Keeps `keep` significant digits, rounding halves away from zero: the first
// digit left out decides. A value that rounds to nothing keeps no digit; a carry
// out of the first digit puts a "1" in front and raises the exponent.
void RoundTo(DecimalDigits& number, int keep) {
  if (keep >= static_cast<int>(number.digits.size())) return;
  if (keep < 0) {
    number.digits.clear();
    return;
  }
  const bool up = number.digits[static_cast<size_t>(keep)] >= '5';
  number.digits.resize(static_cast<size_t>(keep));
  if (!up) return;
  int i = keep - 1;
  while (i >= 0 && number.digits[static_cast<size_t>(i)] == '9') {
    number.digits[static_cast<size_t>(i)] = '0';
    --i;
  }
  if (i >= 0) {
    ++number.digits[static_cast<size_t>(i)];
  } else {
    number.digits.insert(number.digits.begin(), '1');
    ++number.exponent;
  }
}

bool IsZero(const DecimalDigits& number) {
  return number.digits.find_first_not_of('0') == std::string::npos;
}

std::string FixedForm(double value, int decimals) {
  DecimalDigits number = Expand(value);
  RoundTo(number, std::min(number.exponent + decimals + 1, kKeptDigits));
  std::string text;
  // A value that rounds to zero has no sign: -0.0001 with 3 decimals is "0.000".
  if (number.negative && !IsZero(number)) text += '-';
  const int digitCount = static_cast<int>(number.digits.size());
  for (int place = std::max(number.exponent, 0); place >= -decimals; --place) {
    if (place == -1) text += kDecimalSeparator;
    const int k = number.exponent - place;
    text += (k >= 0 && k < digitCount) ? number.digits[static_cast<size_t>(k)] : '0';
  }
  return text;
}

// Magnitudes of 1e17 and more: one integer digit, `decimals` decimals rounded as
// in the fixed form, then "E", the exponent's sign and at least two exponent
// digits, for example "1.500E+20" or "-1.798E+308". ParseEng reads it back.
std::string ExponentForm(double value, int decimals) {
  DecimalDigits number = Expand(value);
  const int keep = std::min(decimals + 1, kKeptDigits);
  RoundTo(number, keep);
  number.digits.resize(static_cast<size_t>(keep), '0');
  std::string text;
  if (number.negative) text += '-';
  text += number.digits[0];
  if (decimals > 0) {
    text += kDecimalSeparator;
    text.append(number.digits, 1);
    text.append(static_cast<size_t>(decimals - (keep - 1)), '0');
  }
  text += 'E';
  text += number.exponent < 0 ? '-' : '+';
  const int magnitude = std::abs(number.exponent);
  if (magnitude < 10) text += '0';
  text += std::to_string(magnitude);
  return text;
}

// The text of a value that is not NaN. `plain` tells whether it is the plain
// fixed-point form, the only one that takes grouping commas.
struct Converted {
  std::string text;
  bool plain = false;
};

Converted Convert(double value, int decimals) {
  // Infinities come only from computed values; they are written as words.
  if (std::isinf(value)) return {value < 0 ? "-INF" : "INF", false};
  if (std::fabs(value) >= kExponentFormFrom) return {ExponentForm(value, decimals), false};
  return {FixedForm(value, decimals), true};
}

// One space, stars up to width - 1 characters, one more space; two spaces for a
// field narrower than 2.
QString StarField(int width) {
  if (width < 2) return QStringLiteral("  ");
  return QLatin1Char(' ') + QString(width - 2, QLatin1Char('*')) + QLatin1Char(' ');
}

struct Prefix {
  double scale;
  char letter;
};

// Rows of the engineering notation, smallest first. The unscaled row's letter is
// a space, so every result ends in one letter position.
constexpr Prefix kPrefixes[] = {{1e-12, 'p'}, {1e-9, 'n'}, {1e-6, 'u'}, {1e-3, 'm'}, {1.0, ' '},
                                {1e3, 'k'},   {1e6, 'M'},  {1e9, 'G'},  {1e12, 'T'}};
constexpr int kTopRow = static_cast<int>(std::size(kPrefixes)) - 1;
constexpr int kUnscaledRow = 4;

// Suffix letters of ParseEng. A letter's first position i (0-based) in either
// string selects slot i mod 8; slots 0 to 3 divide by kSlotScales, 4 to 7
// multiply. Only "m"/"M" differ by case; "P" is pico; the Greek mu U+03BC is
// micro, the micro sign U+00B5 is no suffix.
constexpr std::u16string_view kHalfWidthSuffixes = u"pnumkMgtPNUmKMGT";
constexpr std::u16string_view kFullWidthSuffixes =
    u"ｐｎｕｍｋＭｇｔＰＮＵｍＫＭＧＴＰＮμｍＫＭＧＴ";
static_assert(kHalfWidthSuffixes.size() == 16);
static_assert(kFullWidthSuffixes.size() == 24);
constexpr double kSlotScales[8] = {1e12, 1e9, 1e6, 1e3, 1e3, 1e6, 1e9, 1e12};

bool IsBlankOrControl(char16_t c) { return c <= u' '; }

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNumberChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == kDecimalSeparator || c == u'+' || c == u'-' ||
         c == u'E' || c == u'e';
}

// Whether a number whose conversion left the double range is too large (and
// not too small): its leading non-zero digit stands at a place 10^k with k >= 0.
bool IsTooLarge(std::string_view integerDigits, std::string_view fractionDigits,
                std::string_view exponentText) {
  long long place;
  const size_t firstInteger = integerDigits.find_first_not_of('0');
  if (firstInteger != std::string_view::npos) {
    place = static_cast<long long>(integerDigits.size() - firstInteger) - 1;
  } else {
    const size_t firstFraction = fractionDigits.find_first_not_of('0');
    if (firstFraction == std::string_view::npos) return false;
    place = -static_cast<long long>(firstFraction) - 1;
  }
  // The exponent saturates: far beyond the double range either way is enough.
  constexpr long long kSaturated = 1'000'000'000;
  long long exponent = 0;
  bool negative = false;
  if (!exponentText.empty() && (exponentText.front() == '+' || exponentText.front() == '-')) {
    negative = exponentText.front() == '-';
    exponentText.remove_prefix(1);
  }
  for (char c : exponentText) exponent = std::min(exponent * 10 + (c - '0'), kSaturated);
  return place + (negative ? -exponent : exponent) >= 0;
}

// Reads the number part: optional sign; digits; optionally the separator and
// digits; optionally "E"/"e", an optional sign and at least one digit; at least
// one mantissa digit. False for anything else and for a value too large for a
// double. A value too small for a double reads as 0 of its sign.
bool ReadNumber(std::string_view text, double& result) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const size_t unsignedStart = i;
  const size_t integerStart = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const std::string_view integerDigits = text.substr(integerStart, i - integerStart);
  std::string_view fractionDigits;
  if (i < text.size() && text[i] == kDecimalSeparator) {
    const size_t fractionStart = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    fractionDigits = text.substr(fractionStart, i - fractionStart);
  }
  if (integerDigits.empty() && fractionDigits.empty()) return false;
  std::string_view exponentText;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    const size_t exponentStart = ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t exponentDigits = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == exponentDigits) return false;
    exponentText = text.substr(exponentStart, i - exponentStart);
  }
  if (i != text.size()) return false;

  // from_chars takes no "+", so the sign is applied afterwards.
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] =
      std::from_chars(text.data() + unsignedStart, end, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    if (IsTooLarge(integerDigits, fractionDigits, exponentText)) return false;
    value = 0.0;
  } else if (error != std::errc() || stop != end) {
    return false;
  }
  result = negative ? -value : value;
  return true;
}

}  // namespace

QString FormatFixed(double value, int width, int decimals) {
  if (std::isnan(value)) return StarField(width);
  const QString text = QString::fromLatin1(Convert(value, ClampDecimals(decimals)).text);
  return PadToWidth ? text.rightJustified(width, QLatin1Char(' ')) : text;
}

QString FormatFixedGrouped(double value, int width, int decimals) {
  if (std::isnan(value)) return StarField(width);
  decimals = ClampDecimals(decimals);
  const Converted converted = Convert(value, decimals);
  QString text = QString::fromLatin1(converted.text);
  // Commas between groups of three integer digits, counted from the decimal
  // separator (or the end), never directly behind the minus sign. The exponent
  // form and the infinities take none.
  if (converted.plain) {
    const int n = decimals > 0 ? text.indexOf(QLatin1Char(kDecimalSeparator)) + 1
                               : static_cast<int>(text.size()) + 1;
    const int s = text.startsWith(QLatin1Char('-')) ? 3 : 2;
    const int groups = (n - s) / 3;
    for (int i = 1; i <= groups; ++i) text.insert(n - 3 * i - 1, QLatin1Char(','));
  }
  return text.rightJustified(width, QLatin1Char(' '));
}

QString FormatEng(double value, int width, int decimals) {
  decimals = ClampDecimals(decimals);
  const int mantissaWidth = std::max(width, 1) - 1;
  // An infinity has no prefix: its word stands with the space letter.
  if (std::isinf(value)) return FormatFixed(value, mantissaWidth, decimals) + QLatin1Char(' ');

  const double magnitude = std::fabs(value);
  int row = 0;
  if (value == 0.0) {
    row = kUnscaledRow;
  } else {
    // A NaN compares false and stays on the first row.
    while (row < kTopRow && magnitude >= kPrefixes[row + 1].scale) ++row;
  }
  // A mantissa that would round to 1000 moves up one row. Beyond the "T" row
  // there is none: the mantissa stays there and grows to 1000 and more.
  const double carryLimit = 1000.0 - 0.499 * std::pow(10.0, -decimals);
  if (row < kTopRow && magnitude / kPrefixes[row].scale > carryLimit) ++row;

  return FormatFixed(value / kPrefixes[row].scale, mantissaWidth, decimals) +
         QLatin1Char(kPrefixes[row].letter);
}

double ParseEng(const QString& text) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const std::u16string_view trimmed = TrimBlanks(std::u16string_view(
      reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
  // Thousands commas and spaces may stand anywhere; other blanks stay.
  std::u16string cleaned;
  cleaned.reserve(trimmed.size());
  for (char16_t c : trimmed) {
    if (c != u',' && c != u' ') cleaned += c;
  }
  if (cleaned.empty()) return kNaN;

  size_t numberLength = 0;
  while (numberLength < cleaned.size() && IsNumberChar(cleaned[numberLength])) ++numberLength;
  std::string number(numberLength, '\0');
  for (size_t i = 0; i < numberLength; ++i) number[i] = static_cast<char>(cleaned[i]);
  const std::u16string_view suffix = TrimBlanks(std::u16string_view(cleaned).substr(numberLength));

  double value = 0.0;
  if (!ReadNumber(number, value)) return kNaN;

  // Only the first character of the suffix counts: "kHz" reads as "k".
  if (!suffix.empty()) {
    size_t position = kHalfWidthSuffixes.find(suffix.front());
    if (position == std::u16string_view::npos) position = kFullWidthSuffixes.find(suffix.front());
    if (position != std::u16string_view::npos) {
      const size_t slot = position % 8;
      value = slot < 4 ? value / kSlotScales[slot] : value * kSlotScales[slot];
    }
  }
  return std::isfinite(value) ? value : kNaN;
}
