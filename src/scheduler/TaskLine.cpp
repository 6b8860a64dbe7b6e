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
  while (fields.Count() < 5) {
    const std::size_t space = entry.find(' ', pending);
    if (space == std::string_view::npos)
      return;  // the text after the last space is dropped
    fields.Add(entry.substr(pending, space - pending));
    pending = space + 1;
  }
  if (pending < entry.size())
    fields.Add(entry.substr(pending));
}

bool FieldMatches(std::string_view field, int value) {
  return FieldMatches(field, DecimalText(value));
}

bool FieldMatches(std::string_view field, std::string_view valueText) {
  return field == "*" || field == valueText;
}

}  // namespace pendulon
