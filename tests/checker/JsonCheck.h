#pragma once
// A strict reader of JSON text for the tests: says whether a document is valid JSON and gives
// back every string in it, decoded (a \u00XX escape below 0x100 gives that byte).

#include <string>
#include <string_view>
#include <vector>

namespace pendulon::sim {

class JsonCheck {
 public:
  // True when text is exactly one JSON value, blanks around it allowed.
  bool Valid(std::string_view text) {
    text_ = text;
    at_ = 0;
    strings.clear();
    Blanks();
    if (!Value())
      return false;
    Blanks();
    return at_ == text_.size();
  }

  std::vector<std::string> strings;

 private:
  bool Value() {
    if (at_ >= text_.size())
      return false;
    switch (text_[at_]) {
      case '{':
        return Composite('}', true);
      case '[':
        return Composite(']', false);
      case '"':
        return String();
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number();
    }
  }

  bool Composite(char close, bool members) {
    ++at_;
    Blanks();
    if (Peek(close)) {
      ++at_;
      return true;
    }
    for (;;) {
      if (members) {
        if (!Peek('"') || !String())
          return false;
        Blanks();
        if (!Peek(':'))
          return false;
        ++at_;
        Blanks();
      }
      if (!Value())
        return false;
      Blanks();
      if (Peek(close)) {
        ++at_;
        return true;
      }
      if (!Peek(','))
        return false;
      ++at_;
      Blanks();
    }
  }

  bool String() {
    ++at_;
    std::string decoded;
    while (at_ < text_.size() && text_[at_] != '"') {
      const auto byte = static_cast<unsigned char>(text_[at_]);
      if (byte < 0x20 || byte >= 0x80)
        return false;  // the checker promises ASCII only
      if (byte != '\\') {
        decoded += text_[at_++];
        continue;
      }
      if (++at_ >= text_.size())
        return false;
      const char e = text_[at_++];
      const std::string_view simple = "\"\\/bfnrt";
      const std::string_view meaning = "\"\\/\b\f\n\r\t";
      if (const std::size_t k = simple.find(e); k != std::string_view::npos) {
        decoded += meaning[k];
      } else if (e == 'u' && at_ + 4 <= text_.size()) {
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
          const char h = text_[at_++];
          const std::string_view hex = "0123456789abcdef";
          const std::size_t digit = hex.find(static_cast<char>(h | 0x20));
          if (digit == std::string_view::npos)
            return false;
          code = code * 16 + static_cast<unsigned>(digit);
        }
        decoded += code < 0x100 ? static_cast<char>(code) : '?';
      } else {
        return false;
      }
    }
    if (at_ >= text_.size())
      return false;
    ++at_;
    strings.push_back(decoded);
    return true;
  }

  bool Number() {
    const std::size_t start = at_;
    if (Peek('-'))
      ++at_;
    const std::size_t digits = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    if (at_ == digits || (text_[digits] == '0' && at_ - digits > 1))
      return false;
    return at_ > start;
  }

  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word)
      return false;
    at_ += word.size();
    return true;
  }

  bool Peek(char c) const { return at_ < text_.size() && text_[at_] == c; }
  void Blanks() {
    while (at_ < text_.size() &&
           std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos)
      ++at_;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace pendulon::sim
