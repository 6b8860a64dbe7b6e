// What the executer writes, qefcheck reads: the real program, on the simulated machine, is made
// to write every event of the run log and every word its fields can take; qefcheck's reader then
// reads each line back and puts it in its words. A new event, or a word that only one side
// knows, fails here.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checker/log/EventWords.h"
#include "checker/log/RunLogReader.h"
#include "runlog/RunLogFormat.h"
#include "runlog/RunLogWords.h"
#include "support/MonthHistory.h"
#include "support/SimScenario.h"

namespace pendulon::sim {
namespace {

const char* const kLog = "C:\\Tools\\lib\\pendulon.log";

struct Play {
  const char* name;
  const char* commandLine;
  std::function<void(Scenario&)> stage;
};

void LeaveAt(Scenario& s, std::int64_t at) {
  s.world.At(at, [&s] {
    for (const WindowHandle window : s.family) s.world.RemoveWindow(window);
  });
}

const Play kPlays[] = {
    {"a refused start", "pendulon.exe", [](Scenario&) {}},
    {"a day's trouble", kAccepted,
     [](Scenario& s) {
       // Launches, an item with no section, a line that raises (an error box, the lines below
       // it not examined), a box the shell shows past the minute, a stall, a sleep, the clock
       // set back a little and a lot; then a save while the file is held, and a log held by
       // another program for a while.
       s.world.WriteFile(kTasks, "* * * * * A\r\n* * * * * Ghost\r\nx\r\n* * * * * A\r\n");
       s.world.shellBox = [](const ShellRecord& r) -> std::int64_t {
         return r.localTime.minute == 18 ? 70 * kSecond : 0;
       };
       s.world.shellStall = [](const ShellRecord& r) -> std::int64_t {
         return r.localTime.minute == 21 ? 75 * kSecond : 0;
       };
       s.world.boxAnswer = [](const BoxRecord&) { return 5 * kSecond; };
       s.world.At(s.At(10, 24, 30), [&s] { s.world.Sleep(3 * kMinute); });
       s.world.At(s.At(10, 29, 0, 500), [&s] { s.world.StepClock(-1500); });
       s.world.At(s.At(10, 30, 20), [&s] {
         s.world.StepClock(-20 * kMinute);
         const std::int64_t now = s.world.Now();
         s.world.At(now + 3 * kMinute, [&s] {
           s.world.WriteFile(kTasks, "* * * * * A\r\n");
           s.world.LockForWriting(kTasks, true);
         });
         s.world.At(now + 3 * kMinute + 10 * kSecond,
                    [&s] { s.world.LockForWriting(kTasks, false); });
         s.world.At(now + 4 * kMinute - 30 * kSecond,
                    [&s] { s.world.File(kLog)->heldOpen = true; });
         s.world.At(now + 4 * kMinute + 20 * kSecond,
                    [&s] { s.world.File(kLog)->heldOpen = false; });
         LeaveAt(s, now + 6 * kMinute);
       });
     }},
    {"a close request", kAccepted,
     [](Scenario& s) {
       s.world.At(s.At(10, 17, 30), [&s] {
         s.world.SendClose(
             s.world.FindWindow("TfrmPendulon", "Quillmar v.2.5 Final Release")->handle);
       });
     }},
    {"the end of the session", kAccepted,
     [](Scenario& s) { s.world.At(s.At(10, 17, 30), [&s] { s.world.EndSession(); }); }},
    {"a log that cannot roll over", kAccepted,
     [](Scenario& s) {
       s.world.WriteFile(kMonthOldLog, "");
       s.world.File(kMonthOldLog)->heldOpen = true;
       // Full but for 200 bytes of earlier records.
       const std::string earlier = "2026-03-04T09:00:00.000+00:00\tbox-open\t";
       std::string log;
       while (log.size() + 4096 < 4 * 1024 * 1024 - 200)
         log += earlier + std::string(4000, 'e') + "\r\n";
       const std::size_t rest = 4 * 1024 * 1024 - 200 - log.size() - earlier.size() - 2;
       s.world.WriteFile(kLog, log + earlier + std::string(rest, 'e') + "\r\n");
       LeaveAt(s, s.At(10, 18, 30));
     }},
};

TEST(RunLogWords, EveryEventTheExecuterWritesQefcheckReadsAndPutsInWords) {
  std::set<LogEvent> written;
  std::map<std::string, std::set<std::string>> words;  // by the field's name: the words written
  for (const Play& play : kPlays) {
    SCOPED_TRACE(play.name);
    Scenario s;
    s.world.WriteFile(kTasks, "* * * * * A\r\n");
    s.world.WriteFile(kLaunch, "<A>\r\npath=C:\\Apps\\a.exe\r\n</A>\r\n");
    s.world.WriteFile(kLog, "");
    s.world.SetDeadline(s.At(11, 0, 0));
    LeaveAt(s, s.At(10, 40, 0));
    play.stage(s);
    s.RunToEnd(play.commandLine);

    // Every line the executer wrote is one qefcheck reads, and has words of its own.
    for (const char* path : {kMonthOldLog, kLog}) {
      const SimFile* file = s.world.File(path);
      const std::string bytes = file != nullptr ? file->bytes : "";
      for (std::size_t from = 0, end; (end = bytes.find("\r\n", from)) != std::string::npos;
           from = end + 2) {
        const std::string_view line(bytes.data() + from, end - from);
        const std::optional<LogEntry> entry = ParseLogLine(line);
        ASSERT_TRUE(entry) << "qefcheck cannot read: " << line;
        written.insert(entry->event);
        EXPECT_NE(EventWords(*entry), EventName(entry->event)) << line;
        const auto& f = entry->fields;
        if (entry->event == LogEvent::kStart)
          words["start"].insert(f[StartField::kOutcome]);
        if (entry->event == LogEvent::kLoad || entry->event == LogEvent::kLoadFailed)
          words["load"].insert(f[LoadField::kKind]);
        if (entry->event == LogEvent::kEnd)
          words["end"].insert(f[EndField::kReason]);
        if (entry->event == LogEvent::kClockBack)
          words["clock-back"].insert(f[ClockBackField::kMinutes]);
      }
    }
    SimPlatform reader(s.world, kExe, "qefcheck");
    const std::optional<RunLogSummary> summary = ReadRunLog(reader, kLog, {1, 2, 3, 4});
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->skipped, 0);
  }

  for (const LogEvent event : kLogEvents)
    EXPECT_EQ(written.count(event), 1u) << EventName(event) << " is never written";
  // Each word written is one the shared list holds, and the reader tells each apart.
  const std::map<std::string, std::vector<std::string>> lists = {
      {"start", {std::begin(kStartOutcomes), std::end(kStartOutcomes)}},
      {"load", {std::begin(kLoadKinds), std::end(kLoadKinds)}},
      {"end", {std::begin(kEndReasons), std::end(kEndReasons)}},
      {"clock-back", {std::begin(kClockBackMinutes), std::end(kClockBackMinutes)}},
  };
  for (const auto& [field, list] : lists) {
    EXPECT_EQ(words[field], std::set<std::string>(list.begin(), list.end()))
        << "the words of " << field << " written are not the shared ones";
  }
  std::set<std::string> endWords;
  for (const char* reason : kEndReasons) endWords.insert(EndReasonWords(reason));
  EXPECT_EQ(endWords.size(), std::size(kEndReasons));
  for (const char* reason : kEndReasons) EXPECT_EQ(endWords.count(reason), 0u) << reason;
  const auto sentences = [](LogEvent event, std::size_t field, const auto& list) {
    std::set<std::string> said;
    for (const char* word : list) {
      LogEntry entry{"2026-03-05T10:17:00.200+00:00", event,
                     std::vector<std::string>(FieldCount(event), "1")};
      entry.fields[field] = word;
      said.insert(EventWords(entry));
    }
    return said.size();
  };
  EXPECT_EQ(sentences(LogEvent::kStart, StartField::kOutcome, kStartOutcomes),
            std::size(kStartOutcomes));
  EXPECT_EQ(sentences(LogEvent::kLoad, LoadField::kKind, kLoadKinds), std::size(kLoadKinds));
  EXPECT_EQ(sentences(LogEvent::kClockBack, ClockBackField::kMinutes, kClockBackMinutes),
            std::size(kClockBackMinutes));
}

}  // namespace
}  // namespace pendulon::sim
