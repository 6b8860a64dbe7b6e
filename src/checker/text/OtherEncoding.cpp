#include "checker/text/OtherEncoding.h"

namespace pendulon {

std::optional<std::string> AnsiOfUtf8(std::string_view name) {
  std::string ansi;
  bool beyond = false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto lead = static_cast<unsigned char>(name[i]);
    if (lead < 0x80) {
      ansi += name[i];
      continue;
    }
    // U+00A0 to U+00FF: C2 A0 to C3 BF.
    if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= name.size())
      return std::nullopt;
    const auto next = static_cast<unsigned char>(name[++i]);
    const int code = ((lead & 0x1F) << 6) | (next & 0x3F);
    if ((next & 0xC0) != 0x80 || code < 0xA0)
      return std::nullopt;
    ansi += static_cast<char>(code);
    beyond = true;
  }
  return beyond ? std::optional<std::string>(ansi) : std::nullopt;
}

std::optional<std::string> Utf8OfAnsi(std::string_view name) {
  std::string utf8;
  bool beyond = false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
      continue;
    }
    if (byte < 0xA0)
      return std::nullopt;
    utf8 += static_cast<char>(0xC0 | (byte >> 6));
    utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    beyond = true;
  }
  return beyond ? std::optional<std::string>(utf8) : std::nullopt;
}

}  // namespace pendulon
