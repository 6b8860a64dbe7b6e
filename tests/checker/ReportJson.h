#pragma once
// qefcheck's JSON report, read back with nlohmann-json. The report is ASCII and writes each byte
// from 0x80 up as \u00XX; the library reads that as a code point and gives it back in UTF-8, so
// Bytes turns the code points below 0x100 back into the bytes they stand for.

#include <algorithm>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace pendulon {

// Keeps the members in the order written: objects compare equal only with their members in order.
using Json = nlohmann::ordered_json;

// Fails the test unless text is one JSON document of ASCII bytes; a text that is no JSON at all
// throws, which ends the test. Read the result as a value that is not const: operator[] of a
// const one does not check that the member is there.
inline Json ParseReport(const std::string& text) {
  EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  })) << text;
  return Json::parse(text);
}

// A string of the report as the bytes of the files it stands for.
inline std::string Bytes(const Json& string) {
  const std::string utf8 = string.get<std::string>();
  std::string bytes;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    // U+0080 to U+00FF take two bytes whose lead is 0xC2 or 0xC3.
    if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size())
      bytes +=
          static_cast<char>((lead & 0x03) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    else
      bytes += utf8[i];
  }
  return bytes;
}

}  // namespace pendulon
