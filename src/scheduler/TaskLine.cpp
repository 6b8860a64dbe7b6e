#include "scheduler/TaskLine.h"

#include "platform/Clock.h"
#include "platform/Exceptions.h"

namespace pendulon {

std::string_view TaskFields::Get(int index) const {
  if (index < 0 || index >= count_) {
    throw EStringListError(index);
  }
  return fields_[static_cast<std::size_t>(index)];
}

void SplitTaskLine(std::string_view entry, TaskFields& fields) {
  fields.Clear();
  std::size_t pending = 0;  // where the field being gathered began
  for (std::size_t p = 0; p < entry.size(); ++p) {
    if (fields.Count() == 5) {
      fields.Add(entry.substr(p));
      return;
    }
    if (entry[p] == ' ') {
      fields.Add(entry.substr(pending, p - pending));
      pending = p + 1;
    }
  }
}

bool FieldMatches(std::string_view field, int value) {
  return field == "*" || field == DecimalText(value);
}

}  // namespace pendulon
