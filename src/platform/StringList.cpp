#include "platform/StringList.h"

#include <limits>
#include <stdexcept>

#include "platform/Exceptions.h"

namespace pendulon {

std::string_view TStringList::Get(int index) const {
  if (index < 0 || index >= Count()) {
    throw EStringListError(index);
  }
  const Span span = spans_[static_cast<std::size_t>(index)];
  return std::string_view(text_).substr(span.begin, span.length);
}

void TStringList::Add(std::string_view text) {
  if (text_.size() + text.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("list text too long");
  }
  spans_.push_back(
      Span{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(text.size())});
  text_.append(text);
}

void TStringList::Clear() {
  text_.clear();
  spans_.clear();
}

void TStringList::Swap(TStringList& other) noexcept {
  text_.swap(other.text_);
  spans_.swap(other.spans_);
}

void TStringList::Assign(std::string text, std::vector<Span> spans) {
  text_ = std::move(text);
  spans_ = std::move(spans);
}

}  // namespace pendulon
