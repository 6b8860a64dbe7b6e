#pragma once
// TStringList: an ordered, unsorted list of texts, 0-based, duplicates kept.

#include <vector>

#include "platform/AnsiString.h"

namespace pendulon {

class TStringList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }

  // Raises EStringListError for an index outside 0..Count()-1.
  const AnsiString& Get(int index) const;
  const AnsiString& operator[](int index) const { return Get(index); }

  void Add(AnsiString text) { items_.push_back(std::move(text)); }
  void Clear() { items_.clear(); }
  void Swap(TStringList& other) noexcept { items_.swap(other.items_); }

 private:
  std::vector<AnsiString> items_;
};

}  // namespace pendulon
