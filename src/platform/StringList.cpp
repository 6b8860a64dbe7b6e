#include "platform/StringList.h"

#include "platform/Exceptions.h"

namespace pendulon {

const AnsiString& TStringList::Get(int index) const {
  if (index < 0 || index >= Count()) {
    throw EStringListError(index);
  }
  return items_[static_cast<size_t>(index)];
}

}  // namespace pendulon
