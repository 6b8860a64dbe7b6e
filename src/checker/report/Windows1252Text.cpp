#include "checker/report/Windows1252Text.h"

#include <cstdint>

namespace pendulon {
namespace {

// The characters of 0x80 to 0x9F; 0 where the code page defines none. From 0xA0 on, a byte is
// the code point of its own value.
constexpr std::uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::uint32_t point, std::string& out) {
  if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
  } else {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (point & 0x3F));
}

}  // namespace

bool Windows1252Text::Shown(std::string_view character, std::string& shown) {
  const auto byte = character.size() == 1 ? static_cast<unsigned char>(character[0]) : 0;
  if (byte < 0x80)
    return false;
  const std::uint32_t point = byte < 0xA0 ? kHigh[byte - 0x80] : byte;
  if (point == 0)
    return false;
  AppendUtf8(point, shown);
  return true;
}

}  // namespace pendulon
