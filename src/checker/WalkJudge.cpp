#include "checker/WalkJudge.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/Exceptions.h"
#include "scheduler/MinuteMatcher.h"

namespace pendulon {

WalkJudge::WalkJudge(const TStringList& table, const std::vector<TimedLine>& lines,
                     const MinuteClasses& classes)
    : table_(table), lines_(lines), classes_(classes), lineOf_(table.Count(), -1) {
  for (std::size_t k = 0; k < lines.size(); ++k)
    lineOf_[static_cast<std::size_t>(lines[k].index)] = static_cast<int>(k);
}

const LineSet& WalkJudge::Acting(int timeClass, int dateClass, const LocalMinute& at) {
  const auto key = static_cast<std::int64_t>(timeClass) * classes_.DateClasses() + dateClass;
  const auto [found, fresh] = seen_.try_emplace(key);
  if (fresh)
    found->second = Walk(timeClass, dateClass, at);
  return found->second;
}

LineSet WalkJudge::Runs(int count, std::string& raised) {
  auto table = std::make_unique<TStringList>();
  for (int i = 0; i < count; ++i) table->Add(table_[i]);
  LineSet ran(static_cast<int>(lines_.size()));
  try {
    WalkTasks(clock_, table, [&](const AnsiString&, int number) {
      const int k = lineOf_[static_cast<std::size_t>(number - 1)];
      if (k < 0)
        Disagree("a line whose fields never match ran");
      ran.Set(k);
      return true;
    });
  } catch (const EStringListError& e) {
    raised = e.Message();
  }
  return ran;
}

LineSet WalkJudge::Walk(int timeClass, int dateClass, const LocalMinute& at) {
  clock_.now = TimeOf(at);
  at_ = at;
  LineSet acting = classes_.Acting(timeClass, dateClass);
  const int first = classes_.FirstRaising(timeClass, dateClass);
  // The walk ends at the line that raises: the lines above it must run as predicted and
  // not raise, and that line must raise with its own index.
  const int end = first < 0 ? table_.Count() : lines_[static_cast<std::size_t>(first)].index;
  std::string raised;
  LineSet ran = Runs(end, raised);
  if (!raised.empty())
    Disagree("a line raised where none was foreseen");
  if (first >= 0) {
    ran.Set(first);
    auto alone = std::make_unique<TStringList>();
    alone->Add(table_[end]);
    try {
      WalkTasks(clock_, alone, [&](const AnsiString&, int) { return true; });
    } catch (const EStringListError& e) {
      raised = e.Message();
    }
    if (raised != EStringListError(lines_[static_cast<std::size_t>(first)].raises).Message())
      Disagree("the line foreseen to raise did not raise so");
  }
  if (ran != acting)
    Disagree("other lines acted than foreseen");
  return acting;
}

void WalkJudge::Disagree(const char* what) const {
  throw std::logic_error(std::string("qefcheck's search and the executer's walk disagree at ") +
                         IsoText(at_) + ": " + what);
}

}  // namespace pendulon
