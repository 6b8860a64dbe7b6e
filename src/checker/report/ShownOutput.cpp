#include "checker/report/ShownOutput.h"

#include "checker/text/Printable.h"

namespace pendulon {

std::streambuf::int_type ShownOutput::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof()))
    return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize ShownOutput::xsputn(const char* text, std::streamsize count) {
  // Once the other stream has failed, this one fails too, so that a writer that looks at it
  // stops its work at once.
  if (Failed())
    return 0;
  held_.append(text, static_cast<std::size_t>(count));
  // A line end never lies inside a two-byte character: whole lines convert on their own.
  const std::size_t end = held_.rfind('\n');
  if (end != std::string::npos && held_.size() > 1 << 16)
    HandOn(end + 1);
  return Failed() ? 0 : count;
}

int ShownOutput::sync() {
  HandOn(held_.size());
  to_.flush();
  failed_ = failed_ || !to_;
  return failed_ ? -1 : 0;
}

void ShownOutput::HandOn(std::size_t end) {
  if (end == 0)
    return;
  to_ << ShowLine(std::string_view(held_).substr(0, end), process_, console_);
  failed_ = failed_ || !to_;
  held_.erase(0, end);
}

}  // namespace pendulon
