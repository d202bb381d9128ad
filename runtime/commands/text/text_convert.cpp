#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/commands/text/text_commands.h"
#include "runtime/values/texts.h"
#include "runtime/values/values.h"

namespace marvane::commands {
namespace {

// Raw bytes up to, not including, the first NUL.
Text TextUpToNul(const void* data, std::size_t size) {
  auto bytes = static_cast<const char*>(data);
  const void* nul = std::memchr(bytes, '\0', size);
  std::size_t n = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : size;
  return MakeTextFromBytes(bytes, static_cast<std::int64_t>(n));
}

// Days since 1899-12-30 with the time as the fraction, shown as YYYY-MM-DD hh:mm:ss.
std::string DateTimeText(double value) {
  if (!std::isfinite(value)) return {};
  double whole = std::floor(value);
  auto seconds = static_cast<long long>(std::llround((value - whole) * 86400.0));
  long long days = static_cast<long long>(whole) + seconds / 86400;
  seconds %= 86400;
  // Civil date from days since 1970-01-01 (1899-12-30 is day -25569).
  long long z = days - 25569 + 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  long long day = doy - (153 * mp + 2) / 5 + 1;
  long long month = mp < 10 ? mp + 3 : mp - 9;
  long long year = yoe + era * 400 + (month <= 2);
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", year, month,
                day, seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buffer;
}

Text NumberText(const ValueRecord& v) {
  char buffer[64];
  switch (type::BaseOf(v.type)) {
    case type::kByte:
      std::snprintf(buffer, sizeof buffer, "%u", v.low & 0xFFu);
      break;
    case type::kShort:
      std::snprintf(buffer, sizeof buffer, "%d", static_cast<std::int16_t>(v.low));
      break;
    case type::kInt:
      std::snprintf(buffer, sizeof buffer, "%d", IntOf(v));
      break;
    case type::kLong:
      std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(LongOf(v)));
      break;
    case type::kFloat:
      std::snprintf(buffer, sizeof buffer, "%.6g", static_cast<double>(FloatOf(v)));
      break;
    case type::kDouble:
      std::snprintf(buffer, sizeof buffer, "%.13g", DoubleOf(v));
      break;
    default:
      return nullptr;
  }
  return MakeText(static_cast<const char*>(buffer));
}

// The element bytes of a numeric array, or an empty view for any other array.
std::string_view NumericArrayBytes(const ValueRecord& v) {
  const void* block = PointerOf(v);
  int size = type::NumericSize(v.type);
  if (!block || size == 0) return {};
  std::uint64_t count = ArrayCount(block);
  return {static_cast<const char*>(ArrayElements(block)), static_cast<std::size_t>(count) * size};
}

}  // namespace

void ToText(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const ValueRecord& v = Arg(argc, args, 0);
  Text text = nullptr;
  if (type::IsArray(v.type)) {
    std::string_view bytes = NumericArrayBytes(v);
    text = TextUpToNul(bytes.data(), bytes.size());
  } else if (type::IsNumeric(v.type)) {
    text = NumberText(v);
  } else {
    switch (v.type) {
      case type::kByteSet: {
        std::string_view bytes = ByteSetView(PointerOf(v));
        text = TextUpToNul(bytes.data(), bytes.size());
        break;
      }
      case type::kBool:
        text = MakeText(v.low ? text::kTrue : text::kFalse);
        break;
      case type::kDateTime:
        text = MakeText(DateTimeText(DoubleOf(v)));
        break;
      case type::kText:
        text = MakeText(TextOf(v));
        break;
      default:
        break;
    }
  }
  *result = PointerValue(text, type::kText);
}

void ToByteSet(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const ValueRecord& v = Arg(argc, args, 0);
  void* set = nullptr;
  if (type::IsArray(v.type)) {
    std::string_view bytes = NumericArrayBytes(v);
    set = MakeByteSet(bytes.data(), bytes.size());
  } else if (type::IsNumeric(v.type)) {
    std::uint32_t words[2] = {v.low, v.high};
    set = MakeByteSet(words, static_cast<std::size_t>(type::NumericSize(v.type)));
  } else {
    switch (v.type) {
      case type::kText: {
        const char* text = TextOf(v);
        set = MakeByteSet(text, std::strlen(text));
        break;
      }
      case type::kBool:
        set = MakeByteSet(&v.low, 4);
        break;
      case type::kDateTime: {
        std::uint32_t words[2] = {v.low, v.high};
        set = MakeByteSet(words, 8);
        break;
      }
      case type::kByteSet: {
        std::string_view bytes = ByteSetView(PointerOf(v));
        set = MakeByteSet(bytes.data(), bytes.size());
        break;
      }
      default:
        break;
    }
  }
  *result = PointerValue(set, type::kByteSet);
}

}  // namespace marvane::commands
