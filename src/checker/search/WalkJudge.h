#pragma once
// The executer's own walk of the task table, run at minutes of the classes asked for, once per
// pair of classes, and held against what the lines' fields foretell: the lines that act there.
// A walk that acts otherwise raises std::logic_error, so that whatever qefcheck lists about a
// minute is what the walk was seen to do in it.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "checker/search/LineSet.h"
#include "checker/search/MinuteClasses.h"
#include "platform/StringList.h"
#include "platform/SystemTime.h"

namespace pendulon {

class WalkJudge {
 public:
  // lines: the table's task lines that can match, in file order. Holds the classes against the
  // executer's field rule at every minute of the day and every date first.
  WalkJudge(const TStringList& table, const std::vector<TimedLine>& lines,
            const MinuteClasses& classes);

  // The lines that act at a minute of the two classes (at is one such minute).
  const LineSet& Acting(int timeClass, int dateClass, const LocalMinute& at);

 private:
  // The lines of `walked` above table index `count` that run when the walk meets each in turn,
  // and the message of the error it ends with, if any.
  LineSet Runs(const LineSet& walked, int count, std::string& raised);
  LineSet Walk(int timeClass, int dateClass, const LocalMinute& at);
  void FindSchedules();
  void CheckClasses();
  [[noreturn]] void Disagree(const char* what) const;

  const TStringList& table_;
  const std::vector<TimedLine>& lines_;
  const MinuteClasses& classes_;
  std::unordered_map<std::int64_t, LineSet> seen_;
  std::vector<int> lineOf_;   // by table index: the position among lines, or -1
  LineSet firstOfSchedule_;   // the lines no line above shares its schedule with
  std::vector<int> entries_;  // the table indexes of the walk being judged
  SystemTime now_;            // second 00 of the minute judged: the walk reads nothing else
  LocalMinute at_;
};

}  // namespace pendulon
