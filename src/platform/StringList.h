#pragma once
// TStringList: an ordered, unsorted list of texts, 0-based, duplicates kept. The entries share
// one buffer, so a file of a million lines costs two allocations, not a million.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AnsiString.h"

namespace pendulon {

class TStringList {
 public:
  // Where one entry lies in the shared buffer.
  struct Span {
    std::uint32_t begin = 0;
    std::uint32_t length = 0;
  };

  int Count() const { return static_cast<int>(spans_.size()); }

  // The entry at index; valid until the list next changes. Raises EStringListError for an index
  // outside 0..Count()-1.
  std::string_view Get(int index) const;
  std::string_view operator[](int index) const { return Get(index); }

  void Add(std::string_view text);
  void Clear();
  void Swap(TStringList& other) noexcept;

  // Replaces the whole list: text becomes the buffer and each span one entry within it.
  void Assign(std::string text, std::vector<Span> spans);

 private:
  std::string text_;
  std::vector<Span> spans_;
};

}  // namespace pendulon
