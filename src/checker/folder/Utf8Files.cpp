#include "checker/folder/Utf8Files.h"

#include <algorithm>

#include "checker/text/ByteOrderMark.h"
#include "checker/text/LineNumbers.h"

namespace pendulon {
namespace {

constexpr std::size_t kMostNamed = 10;

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

}  // namespace

bool IsUtf8(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    // The ranges of the second byte that keep a sequence short, below U+10FFFF and off the
    // surrogates; the rest continue with 0x80 to 0xBF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      low = lead == 0xE0 ? 0xA0 : 0x80;
      high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      low = lead == 0xF0 ? 0x90 : 0x80;
      high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
      return false;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
      return false;
    for (std::size_t k = 2; k < length; ++k) {
      if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
        return false;
    }
    i += length;
  }
  return true;
}

std::string Utf8Hint(const TStringList& lines) {
  std::vector<int> named;
  int more = 0;
  for (int i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines[i];
    // A byte-order mark has a hint of its own; alone it does not make the file one of these.
    if (i == 0 && line.substr(0, kByteOrderMark.size()) == kByteOrderMark)
      line.remove_prefix(kByteOrderMark.size());
    if (IsAscii(line))
      continue;
    if (!IsUtf8(line))
      return {};
    if (named.size() < kMostNamed)
      named.push_back(i + 1);
    else
      ++more;
  }
  if (named.empty())
    return {};
  return "this file looks like UTF-8 (saved by Notepad?); Pendulon reads it as ANSI: save it as "
         "ANSI, and the other file of lib too, as their item names must match byte for byte (" +
         LineNumbers(named) + (more > 0 ? ", and " + std::to_string(more) + " more" : "") + ")";
}

std::string Utf16Hint(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  bool utf16 =
      bytes.size() >= 2 && ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF));
  if (!utf16 && bytes.size() >= 8) {
    // Without its mark: text of ASCII letters has a zero byte beside every one of them.
    const std::size_t pairs = std::min<std::size_t>(bytes.size() / 2, 32);
    int zeroFirst = 0, zeroSecond = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
      zeroFirst += at(2 * i) == 0 && at(2 * i + 1) != 0 ? 1 : 0;
      zeroSecond += at(2 * i) != 0 && at(2 * i + 1) == 0 ? 1 : 0;
    }
    utf16 = zeroFirst == static_cast<int>(pairs) || zeroSecond == static_cast<int>(pairs);
  }
  if (!utf16)
    return {};
  return "this file is UTF-16 (Notepad's \"Unicode\"); Pendulon reads it as ANSI and sees none "
         "of it past its first zero byte: in Notepad choose File, Save As, set Encoding to ANSI "
         "and save";
}

}  // namespace pendulon
