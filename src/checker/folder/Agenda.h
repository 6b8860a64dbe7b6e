#pragma once
// What the executer's walk does in each minute of a span ahead, for all task lines at once and
// in time order (qefcheck --next): found with the same minute classes and the same judged walk
// as each line's next times, so that the two can never disagree.

#include <functional>
#include <vector>

#include "checker/folder/FolderCheck.h"
#include "checker/search/ClockChanges.h"
#include "checker/search/MinuteClasses.h"
#include "checker/search/WalkJudge.h"

namespace pendulon {

class Agenda {
 public:
  // reports: every line of the table as AnalyseLines judged it. Both must outlive the agenda.
  Agenda(const TStringList& table, const std::vector<LineReport>& reports, TimeZone& zone);

  // Told each line that acts in a minute: the minute, how often the clock shows it, the line.
  // Gives false to stop the walk (the report can no longer be written, say).
  using Visit = std::function<bool(const LocalMinute&, const MinuteOccurrence&, const LineReport&)>;

  // The lines for which wanted holds, as a set to walk for.
  LineSet Select(const std::function<bool(const LineReport&)>& wanted) const;
  // The lines among `among` that act in some minute of the span, each reported once, in file
  // order. Costs a word per few dozen lines a minute, however often they act.
  std::vector<const LineReport*> ActingIn(const LocalMinute& after, int minutes,
                                          const LineSet& among);
  // Each minute from the one after `after`, `minutes` of the calendar in all, in time order; in
  // a minute, the lines among `among` in file order.
  void Walk(const LocalMinute& after, int minutes, const LineSet& among, const Visit& visit);

 private:
  // Calls each(minute, acting lines) for each minute of the span in which any acts, until it
  // gives false.
  void Minutes(const LocalMinute& after, int minutes,
               const std::function<bool(const LocalMinute&, const LineSet&)>& each);

  static std::vector<TimedLine> TimedLines(const std::vector<LineReport>& reports);

  const std::vector<LineReport>& reports_;
  std::vector<TimedLine> timed_;
  std::vector<int> reportOf_;  // by position among timed_: the index in reports_
  MinuteClasses classes_;
  WalkJudge judge_;
  ClockChanges clock_;
};

}  // namespace pendulon
