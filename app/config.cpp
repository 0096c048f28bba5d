// Reading "config.txt".
#include "app/config.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "base/console.h"
#include "base/data_file.h"

namespace {

bool isBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int digitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// strtol(text, &end, 0) over a span, saturating at the int range. Returns false when no digit
// was read; `pos` then stays where the token began.
bool parseInteger(std::span<const std::byte> text, std::size_t& pos, int& value) {
  auto at = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; };
  std::size_t i = pos;
  bool negative = false;
  if (at(i) == '+' || at(i) == '-') negative = at(i++) == '-';
  int base = 10;
  if (at(i) == '0') {
    if ((at(i + 1) == 'x' || at(i + 1) == 'X') && digitValue(at(i + 2)) < 16) {
      base = 16;
      i += 2;
    } else {
      base = 8;
    }
  }
  std::int64_t magnitude = 0;
  std::size_t first = i;
  while (i < text.size() && digitValue(at(i)) < base) {
    magnitude = std::min<std::int64_t>(magnitude * base + digitValue(at(i)), std::int64_t(INT_MAX) + 1);
    ++i;
  }
  if (i == first) return false;
  std::int64_t signedValue = negative ? -magnitude : magnitude;
  value = static_cast<int>(std::clamp<std::int64_t>(signedValue, INT_MIN, INT_MAX));
  pos = i;
  return true;
}

}  // namespace

Config parseConfig(std::span<const std::byte> text) {
  Config config;
  int* fields[] = {&config.landscapeDetail, &config.shipDetail, &config.sound};
  std::size_t pos = 0;
  // Notepad starts a file saved as UTF-8 with a byte-order mark; it is no part of the first value.
  if (text.size() >= 3 && text[0] == std::byte{0xEF} && text[1] == std::byte{0xBB} && text[2] == std::byte{0xBF}) pos = 3;
  for (int* field : fields) {
    while (pos < text.size() && isBlank(static_cast<unsigned char>(text[pos]))) ++pos;
    if (pos == text.size()) break;
    // The next value is read where this one stopped: in "12abc" the "abc" is the next token.
    if (!parseInteger(text, pos, *field)) {
      *field = 0;
      break;
    }
  }
  return config;
}

Config readConfigFile(const char* path) {
  // Three numbers fit in far less; a larger file is read only this far.
  const DataFile file = readDataFile(path, 64 * 1024);
  if (!file.ok() && file.status != DataRead::tooLarge) return Config{};
  return parseConfig(file.bytes);
}

Config clampConfig(const Config& config, std::FILE* report) {
  Config result = config;
  auto clampOne = [&](int& value, int low, int high, const char* what) {
    int used = std::clamp(value, low, high);
    if (used != value && report)
      consolePrint(report, "config.txt: %s %d is outside %d..%d, using %d\n", what, value, low, high, used);
    value = used;
  };
  clampOne(result.landscapeDetail, minLandscapeDetail, maxLandscapeDetail, "landscape detail");
  clampOne(result.shipDetail, minShipDetail, maxShipDetail, "ship detail");
  return result;
}
