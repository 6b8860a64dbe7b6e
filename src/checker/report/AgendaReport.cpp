#include "checker/report/AgendaReport.h"

#include <map>

#include "checker/folder/Agenda.h"
#include "checker/report/JsonText.h"
#include "checker/report/TextReport.h"
#include "checker/search/ClockChanges.h"

namespace pendulon {
namespace {

// A line whose minute field is "*" acts in every minute of its hours.
bool EveryMinute(const LineReport& line) {
  return !line.schedule->Fixed(TaskFields::kMinute);
}

std::string ItemName(const LineReport& line) {
  return line.Item() ? Visible(*line.Item()) : std::string("no item");
}

// What the walk does with the line: what the shell is asked, or why nothing is launched.
std::string Does(const LineReport& line) {
  if (line.error)
    return "error box \"" + line.error->message + "\"; the lines below it are not examined";
  const LaunchExplanation& launch = *line.launch;
  if (!launch.Requested())
    return "launches nothing: " + launch.words;
  const ShellRequest& r = launch.request;
  std::string asked = Visible(r.verb) + " " + Visible(r.file) +
                      (r.parameters.empty() ? "" : " " + Visible(r.parameters)) + " (in " +
                      (r.directory.empty() ? std::string("no folder") : Visible(r.directory)) + ")";
  return launch.problem == LaunchProblem::kNone ? asked : asked + "; but " + launch.words;
}

std::string Clock(const LocalMinute& m) {
  return ReadableText(m).substr(15);  // "02:00" of "Sun 2027-03-28 02:00"
}

std::string SpanEnd(const LocalMinute& now, int minutes) {
  return ReadableText(MinuteAt(MinuteNumber(now) + minutes));
}

}  // namespace

void WriteAgendaText(std::ostream& out, const FolderCheck& check, int minutes,
                     const std::string& spanWords, TimeZone& zone) {
  WriteTextHeader(out, check);
  Agenda agenda(check.tasks, check.lines, zone);
  // First the lines folded at the top: those of them that act in the span at all.
  const std::vector<const LineReport*> folded =
      agenda.ActingIn(check.now, minutes, agenda.Select(EveryMinute));
  for (const LineReport* line : folded)
    out << DescribeSchedule(*line->schedule) << ": line " << line->number << " (" << ItemName(*line)
        << ")\n";
  if (!folded.empty())
    out << "\n";
  // Launches are listed in time order; a line due that launches nothing is listed apart, once.
  struct Idle {
    const LineReport* line;
    int times;
    LocalMinute first;
  };
  int launches = 0, missing = 0;
  std::map<int, Idle> idle;         // by line number
  std::map<int, std::string> does;  // by line number, worded once
  const LineSet listed = agenda.Select([](const LineReport& line) { return !EveryMinute(line); });
  agenda.Walk(check.now, minutes, listed,
              [&](const LocalMinute& at, const MinuteOccurrence& shown, const LineReport& line) {
                if (shown.times == 0) {
                  ++missing;
                  out << ReadableText(at) << "  line " << line.number << "  " << ItemName(line)
                      << ": does not occur: the clock goes from " << Clock(shown.from) << " to "
                      << Clock(shown.to) << "\n";
                  return static_cast<bool>(out);
                }
                if (line.error || !line.launch->Requested()) {
                  auto [entry, fresh] = idle.try_emplace(line.number, Idle{&line, 0, at});
                  entry->second.times += shown.times;
                  return true;
                }
                launches += shown.times;
                auto [words, fresh] = does.try_emplace(line.number);
                if (fresh)
                  words->second = Does(line);
                out << ReadableText(at) << "  line " << line.number << "  " << ItemName(line)
                    << ": " << words->second
                    << (shown.times > 1 ? " (twice: summer and winter time)" : "") << "\n";
                // A report that can no longer be written ends the walk: a month of entries is long.
                return static_cast<bool>(out);
              });
  if (!idle.empty()) {
    out << (launches + missing > 0 ? "\n" : "") << "due in the span but launching nothing:\n";
    for (const auto& [number, entry] : idle)
      out << "line " << number << "  " << ItemName(*entry.line) << ": " << Does(*entry.line)
          << "; due "
          << (entry.times == 1 ? std::string("once") : std::to_string(entry.times) + " times")
          << ", first at " << ReadableText(entry.first) << "\n";
  }
  int idleTimes = 0;
  for (const auto& [number, entry] : idle) idleTimes += entry.times;
  out << (launches + missing + idleTimes > 0 ? "\n" : "") << launches
      << (launches == 1 ? " launch" : " launches") << " in the next " << spanWords << ", up to "
      << SpanEnd(check.now, minutes);
  if (missing > 0)
    out << "; " << missing << (missing == 1 ? " due minute does" : " due minutes do")
        << " not occur";
  if (idleTimes > 0)
    out << "; " << idle.size() << (idle.size() == 1 ? " line is" : " lines are") << " due "
        << idleTimes << (idleTimes == 1 ? " time" : " times") << " without launching anything";
  if (!folded.empty())
    out << "; besides, the " << (folded.size() == 1 ? "line that fires" : "lines that fire")
        << " every minute named above";
  out << ".\n";
}

void WriteAgendaJson(std::ostream& out, const FolderCheck& check, int minutes, TimeZone& zone) {
  std::string lines;
  for (const LineReport& line : check.lines) {
    if (!line.schedule || line.verdict == Verdict::kUnreached)
      continue;
    lines += (lines.empty() ? "\n" : ",\n") +
             Object({{"line", Number(line.number)},
                     {"item", line.Item() ? JsonString(*line.Item()) : "null"},
                     {"verdict", JsonString(VerdictCode(line.verdict))},
                     {"schedule", ScheduleJson(*line.schedule)},
                     {"everyMinute", Bool(EveryMinute(line))},
                     {"error", line.error ? JsonString(line.error->message) : "null"},
                     {"launch", line.launch ? LaunchJson(*line.launch) : "null"}});
  }
  const Members head = {
      {"format", Number(kJsonFormat)},
      {"folder", JsonString(check.folder)},
      {"tasksFile", JsonString(check.tasksPath)},
      {"launchFile", JsonString(check.launchPath)},
      {"now", JsonString(MinuteText(check.now))},
      {"span",
       Object({{"minutes", Number(minutes)},
               {"from", JsonString(MinuteText(MinuteAt(MinuteNumber(check.now) + 1)))},
               {"to", JsonString(MinuteText(MinuteAt(MinuteNumber(check.now) + minutes)))}})},
      {"lines", "[" + lines + (lines.empty() ? "]" : "\n]")}};
  const std::string start = Object(head, ",\n");
  // Every entry, one to a row, straight out: a month of many lines makes a long document.
  out << start.substr(0, start.size() - 1) << ",\n" << JsonString("entries") << ":[";
  bool first = true;
  Agenda agenda(check.tasks, check.lines, zone);
  agenda.Walk(check.now, minutes, agenda.Select([](const LineReport&) { return true; }),
              [&](const LocalMinute& at, const MinuteOccurrence& shown, const LineReport& line) {
                Members entry = {{"at", JsonString(MinuteText(at))},
                                 {"line", Number(line.number)},
                                 {"clock", JsonString(shown.times == 0   ? "skipped"
                                                      : shown.times == 2 ? "twice"
                                                                         : "once")}};
                if (shown.times == 0) {
                  entry.emplace_back("clockFrom", JsonString(MinuteText(shown.from)));
                  entry.emplace_back("clockTo", JsonString(MinuteText(shown.to)));
                }
                out << (first ? "\n" : ",\n") << Object(entry);
                first = false;
                return static_cast<bool>(out);
              });
  out << (first ? "]" : "\n]") << ",\n"
      << JsonString("exitStatus") << ":" << check.ExitStatus() << "}\n";
}

}  // namespace pendulon
