#include "app/WalkModel.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

#include "support/MonthHistory.h"

namespace pendulon::sim {
namespace {

constexpr const char* kTasksPath = "C:\\Tools\\lib\\tasks.qef";
constexpr const char* kLaunchError = "Cannot open file C:\\Tools\\lib\\launch.qef";
// A clock set back by more than 10 minutes walks its minutes again (README); steps below a tenth
// of a second are no set-back worth a word.
constexpr std::int64_t kWalkedAgainBeyond = 10 * kMinute;
constexpr std::int64_t kSetBackThatCounts = 100;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsTask(const std::string& line) {
  return !line.empty() && line[0] != '#';
}

// Up to five fields ended by single spaces, and the rest after the fifth as the sixth.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t from = 0;
  while (fields.size() < 5) {
    const std::size_t space = line.find(' ', from);
    if (space == std::string::npos)
      return fields;
    fields.push_back(line.substr(from, space - from));
    from = space + 1;
  }
  if (from < line.size())
    fields.push_back(line.substr(from));
  return fields;
}

std::vector<std::string> TableLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t end = text.find("\r\n", from);
    lines.push_back(text.substr(from, end - from));
    if (end == std::string::npos)
      break;
    from = end + 2;
  }
  return lines;
}

int NextTask(const std::vector<std::string>& lines, std::size_t index) {
  for (std::size_t j = index + 1; j < lines.size(); ++j)
    if (IsTask(lines[j]))
      return static_cast<int>(j) + 1;
  return 0;
}

// What the README says the shell's answers mean.
std::string Meaning(std::intptr_t answer) {
  if (answer > 32)
    return "ok";
  return answer == 2 ? "file not found" : answer == 3 ? "path not found" : "?";
}

// "10:17:05"
std::string Clock(const SystemTime& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{t.hour}, unsigned{t.minute},
                unsigned{t.second});
  return text;
}

std::string Line(int number) {
  return "line " + std::to_string(number);
}

std::function<std::string(const std::string&)> Is(std::string truth) {
  return [truth](const std::string& reason) {
    return reason == truth ? "" : "it says \"" + reason + "\", not \"" + truth + "\"";
  };
}

std::function<std::string(const std::string&)> Begins(std::vector<std::string> starts) {
  return [starts](const std::string& reason) -> std::string {
    for (const std::string& start : starts)
      if (StartsWith(reason, start))
        return "";
    return "it says \"" + reason + "\", not \"" + starts[0] + "...\"";
  };
}

}  // namespace

WalkModel::WalkModel(const SimWorld& world, const MonthFacts& facts)
    : world_(world), facts_(facts) {}

std::vector<Expected> WalkModel::Play(std::vector<Violation>& violations) {
  violations_ = &violations;
  // The world's records in the order they happened.
  struct Event {
    std::uint64_t order;
    std::function<void()> play;
  };
  std::vector<Event> events;
  for (const TickRecord& tick : world_.ticks)
    if (tick.interval == 60000)
      events.push_back({tick.order, [this, &tick] { Tick(tick); }});
  for (const FileRead& read : world_.reads)
    events.push_back({read.order, [this, &read] { Read(read); }});
  for (const ShellRecord& launch : world_.launches) {
    events.push_back({launch.order, [this, &launch] { Started(launch); }});
    if (launch.returnOrder != 0)
      events.push_back({launch.returnOrder, [this, &launch] { Returned(launch); }});
  }
  if (world_.quit.at >= 0)
    events.push_back({world_.quit.order, [this] { Quit(); }});
  std::sort(events.begin(), events.end(),
            [](const Event& a, const Event& b) { return a.order < b.order; });
  for (const Event& event : events) event.play();
  return std::move(expected_);
}

Span WalkModel::Since(std::int64_t at, std::int64_t elapsed, const TickRecord* tick) const {
  return {walkAt_, walkElapsed_, at, elapsed, tick};
}

void WalkModel::Tick(const TickRecord& tick) {
  if (stopped_ || !walked_)
    return;
  if (pending_ != nullptr) {
    Fail(tick.at,
         Line(pending_->dueLine.first) + " was due, and its launch never reached the shell");
    pending_->done = true;
    pending_ = nullptr;
  }
  const std::int64_t label = facts_.Label(tick.at, tick.elapsed);
  const std::int64_t last = *walked_;
  const Span span = Since(tick.at, tick.elapsed, &tick);
  const std::int64_t stepped = facts_.Stepped(span);
  const bool smallerOffset =
      facts_.OffsetMinutes(tick.at, tick.elapsed) < facts_.OffsetMinutes(walkAt_, walkElapsed_);
  const auto causes = [this, span](bool back) {
    return [this, span, back](const std::vector<std::string>& f) {
      return facts_.WrongCauses(f.back(), span, back);
    };
  };
  const bool again = label <= last && (smallerOffset || stepped < -kWalkedAgainBeyond);
  if (label <= last && !again) {
    // A set-back says once which minutes it leaves out; a tick that only came early, nothing.
    if (stepped <= -kSetBackThatCounts && !(toldNotAgain_ && label >= toldNotAgain_->first)) {
      Expect({tick.at,
              tick.elapsed,
              "clock-back",
              {{0, MinuteText(last)}, {1, MinuteText(label)}, {2, "not walked again"}},
              causes(true),
              "the clock set back to " + MinuteText(label)});
      toldNotAgain_.emplace(label, last);
    }
    return;
  }
  if (again) {
    Expect({
        tick.at,
        tick.elapsed,
        "clock-back",
        {{0, MinuteText(last)}, {1, MinuteText(label)}, {2, "walked again"}},
        causes(true),
        "the clock gone back to " + MinuteText(label),
    });
  } else if (label > last + 1) {
    Expect({tick.at,
            tick.elapsed,
            "no-walk",
            {{0, MinuteText(last + 1)}, {1, MinuteText(label - 1)}},
            causes(false),
            "the minutes from " + MinuteText(last + 1) + " to " + MinuteText(label - 1)});
  }
  const std::int64_t into = facts_.IntoMinute(tick.at, tick.elapsed);
  if (into >= 3 * kSecond)
    Expect({tick.at,
            tick.elapsed,
            "late-walk",
            {{0, MinuteText(label)}, {1, std::to_string(into)}},
            causes(false),
            "the walk of " + MinuteText(label) + " beginning late"});
  for (const auto& walk : walks_) {
    if (walk->over || walk->waiting == nullptr)
      continue;
    StillWaiting(*walk, tick.at, tick.elapsed);
    End(*walk, walk->nextTaskLine, tick.at, tick.elapsed,
        Is(Line(walk->dueLine.first) + "'s launch is still waiting in the shell"));
  }
  if (again)
    launched_.clear();
  for (auto entry = launched_.begin(); entry != launched_.end();)
    entry = entry->second < label ? launched_.erase(entry) : std::next(entry);
  walked_ = label;
  walkAt_ = tick.at;
  walkElapsed_ = tick.elapsed;
  toldNotAgain_.reset();
  auto walk = std::make_unique<Walk>();
  walk->label = label;
  walk->utcMinute = FloorDiv(tick.at, kMinute);
  walk->at = tick.at;
  walk->elapsed = tick.elapsed;
  walk->depth = tick.depth;
  walk->table = table_;
  walks_.push_back(std::move(walk));
  Go(*walks_.back());
  Unwind();
}

void WalkModel::Go(Walk& walk) {
  const SystemTime t = CivilFromUtcMs(walk.label * kMinute);
  const std::int64_t days = FloorDiv(walk.label, 24 * 60);
  const int values[5] = {t.minute, t.hour, t.day, t.month,
                         static_cast<int>((days % 7 + 7 + 4) % 7) + 1};
  const std::vector<std::string>& lines = walk.table->lines;
  const std::string minute = MinuteText(walk.label);
  for (; walk.next < lines.size(); ++walk.next) {
    const std::size_t i = walk.next;
    if (!IsTask(lines[i]))
      continue;
    const int number = static_cast<int>(i) + 1;
    const std::vector<std::string> fields = Fields(lines[i]);
    bool due = true;
    int missing = -1;
    for (int k = 0; k < 5 && due; ++k) {
      if (static_cast<std::size_t>(k) >= fields.size())
        missing = k;
      else
        due = fields[static_cast<std::size_t>(k)] == "*" ||
              fields[static_cast<std::size_t>(k)] == std::to_string(values[k]);
      if (missing >= 0)
        break;
    }
    if (due && missing < 0 && fields.size() < 6)
      missing = 5;
    if (missing >= 0) {
      const std::string error = "List index out of bounds (" + std::to_string(missing) + ")";
      raises_.push_back({walk.elapsed, number, error});
      End(walk, NextTask(lines, i), walk.at, walk.elapsed,
          Is("the walk ended at " + Line(number) + " with the error \"" + error + "\""));
      walk.done = true;
      return;
    }
    if (!due)
      continue;
    const std::string& item = fields[5];
    const LineKey key{number, item};
    const std::vector<std::pair<std::size_t, std::string>> id = {
        {0, minute}, {1, std::to_string(number)}, {2, item}};
    const std::string what = Line(number) + " due for " + minute;
    // Why the line may be passed over, each true now.
    std::set<std::string> refusals;
    if (const auto waiting = outstanding_.find(key); waiting != outstanding_.end())
      refusals.insert("its launch at " + Clock(waiting->second->localTime) +
                      " is still waiting in the shell");
    if (const auto launched = launched_.find(key);
        launched != launched_.end() && launched->second >= walk.label)
      refusals.insert("it has launched for this minute already");
    if (outstanding_.size() >= 8)
      refusals.insert("8 launches are still waiting in the shell");
    if (!refusals.empty()) {
      Expect({walk.at, walk.elapsed, "no-launch", id,
              [refusals](const std::vector<std::string>& f) -> std::string {
                return refusals.count(f.back()) != 0 ? "" : "\"" + f.back() + "\" is untrue";
              },
              what + ", passed over"});
      continue;
    }
    if (world_.WasOn(kLaunchLocked, walk.elapsed)) {
      Expect({walk.at, walk.elapsed, "no-launch", id,
              [](const std::vector<std::string>& f) { return Is(kLaunchError)(f.back()); },
              what + ", with its launch file locked"});
      raises_.push_back({walk.elapsed, number, kLaunchError});
      End(walk, NextTask(lines, i), walk.at, walk.elapsed,
          Is("the walk ended at " + Line(number) + " with the error \"" + kLaunchError + "\""));
      walk.done = true;
      return;
    }
    const LaunchAnswer answer = facts_.LaunchFileSays(walk.elapsed, item);
    if (!answer.request) {
      const std::string why = answer.why;
      Expect({walk.at, walk.elapsed, "no-launch", id,
              [why](const std::vector<std::string>& f) -> std::string {
                return f.back().find(why) != std::string::npos
                           ? ""
                           : "\"" + f.back() + "\" is not what the launch file says: " + why;
              },
              what + ", which launches nothing"});
      continue;
    }
    walk.due = answer.request;
    walk.dueLine = key;
    walk.nextTaskLine = NextTask(lines, i);
    walk.next = i + 1;
    launched_[key] = walk.label;
    pending_ = &walk;
    return;
  }
  walk.done = true;
}

void WalkModel::Started(const ShellRecord& launch) {
  if (pending_ == nullptr || pending_->depth != launch.depth || stopped_) {
    Fail(launch.at, "the shell was asked for " + launch.file + ", which no due line called for");
    return;
  }
  Walk& walk = *pending_;
  pending_ = nullptr;
  const Request& due = *walk.due;
  if (launch.at != walk.at)
    Fail(launch.at, Line(walk.dueLine.first) + "'s launch came after its walk reached it");
  if (launch.verb != due.verb || launch.file != due.file || launch.parameters != due.parameters ||
      launch.directory != due.directory || launch.showCommand != 9)
    Fail(launch.at, Line(walk.dueLine.first) + " asked the shell to " + launch.verb + " " +
                        launch.file + " [" + launch.parameters + "] in " + launch.directory +
                        " (show " + std::to_string(launch.showCommand) +
                        "); the launch file says " + due.verb + " " + due.file + " [" +
                        due.parameters + "] in " + due.directory);
  walk.waiting = &launch;
  outstanding_[walk.dueLine] = &launch;
}

void WalkModel::Returned(const ShellRecord& launch) {
  const auto found = std::find_if(walks_.begin(), walks_.end(),
                                  [&](const auto& walk) { return walk->waiting == &launch; });
  if (found == walks_.end())
    return;  // a launch no line called for, told when it began
  Walk& walk = **found;
  outstanding_.erase(walk.dueLine);
  walk.waiting = nullptr;
  const int number = walk.dueLine.first;
  if (!stopped_) {
    const std::int64_t took = launch.returnedElapsed - launch.elapsed;
    Expect({launch.returnedAt,
            launch.returnedElapsed,
            "launch",
            {{0, MinuteText(walk.label)}, {1, std::to_string(number)}, {2, walk.dueLine.second}},
            [&launch, took](const std::vector<std::string>& f) -> std::string {
              const std::vector<std::string> truth = {launch.verb,
                                                      launch.file,
                                                      launch.parameters,
                                                      launch.directory,
                                                      std::to_string(launch.answer),
                                                      Meaning(launch.answer),
                                                      std::to_string(took)};
              const std::vector<std::string> told(f.begin() + 3, f.end());
              return told == truth ? "" : "its request, answer or time differs from the shell's";
            },
            Line(number) + "'s launch for " + MinuteText(walk.label)});
  }
  walk.at = launch.returnedAt;
  walk.elapsed = launch.returnedElapsed;
  if (walk.over || stopped_) {
    walk.done = true;
  } else if (table_->version != walk.table->version) {
    End(walk, walk.nextTaskLine, walk.at, walk.elapsed,
        Is("the task file was reloaded while " + Line(number) + "'s launch waited in the shell"));
    walk.done = true;
  } else if (FloorDiv(walk.at, kMinute) != walk.utcMinute) {
    const bool back = FloorDiv(walk.at, kMinute) < walk.utcMinute;
    End(walk, walk.nextTaskLine, walk.at, walk.elapsed,
        back ? Begins({"the clock went back to "})
             : Begins({Line(number) + "'s launch waited in the shell until ",
                       Line(number) + "'s launch held the program until "}));
    walk.done = true;
  } else {
    Go(walk);
  }
  Unwind();
}

void WalkModel::Read(const FileRead& read) {
  // The start's first load names the minute after the one its wait for second 00 ended in.
  const std::string firstWalk =
      anyRead_ ? std::string() : MinuteText(facts_.Label(read.at, read.elapsed) + 1);
  auto table = std::make_shared<Table>();
  table->version = table_->version + 1;
  if (read.ok)
    table->lines = TableLines(read.bytes);
  table_ = table;
  if (read.ok) {
    int tasks = 0;
    for (const std::string& line : table->lines) tasks += IsTask(line) ? 1 : 0;
    const bool first = !anyRead_;
    Expect({read.at,
            read.elapsed,
            "load",
            {{1, kTasksPath}, {2, std::to_string(table->lines.size())}, {3, std::to_string(tasks)}},
            [first, firstWalk](const std::vector<std::string>& f) -> std::string {
              const bool right = first ? f[0] == "first" : f[0] == "reload" || f[0] == "retry";
              if (!right)
                return "it calls the load " + f[0];
              return Is(firstWalk)(f[4]);
            },
            "the load of the task file"});
  } else if (!anyRead_ || lastReadOk_) {
    // A load that fails again while the file is still held is retried without a word.
    const bool first = !anyRead_;
    Expect({read.at,
            read.elapsed,
            "load-failed",
            {{1, kTasksPath}},
            [first, firstWalk](const std::vector<std::string>& f) -> std::string {
              const bool right = first ? f[0] == "first" : f[0] == "reload" || f[0] == "retry";
              if (!right)
                return "it calls the load " + f[0];
              const std::string error = Is(std::string("Cannot open file ") + kTasksPath)(f[2]);
              return error.empty() ? Is(firstWalk)(f[3]) : error;
            },
            "the failed load of the task file"});
  }
  if (!anyRead_) {
    // The minute the start-up's wait ends in counts as walked.
    walked_ = facts_.Label(read.at, read.elapsed);
    walkAt_ = read.at;
    walkElapsed_ = read.elapsed;
  }
  anyRead_ = true;
  lastReadOk_ = read.ok;
}

void WalkModel::Quit() {
  const QuitRecord& quit = world_.quit;
  if (pending_ != nullptr) {
    Fail(quit.at,
         Line(pending_->dueLine.first) + " was due, and its launch never reached the shell");
    pending_ = nullptr;
  }
  stopped_ = true;
  for (const auto& walk : walks_) {
    if (walk->over || walk->waiting == nullptr)
      continue;
    StillWaiting(*walk, quit.at, quit.elapsed);
    End(*walk, walk->nextTaskLine, quit.at, quit.elapsed,
        Is("Pendulon ended while " + Line(walk->dueLine.first) + "'s launch waited in the shell"));
  }
  if (walked_) {
    const std::int64_t label = facts_.Label(quit.at, quit.elapsed);
    const Span span = Since(quit.at, quit.elapsed, nullptr);
    if (label > *walked_ + 1)
      Expect({quit.at,
              quit.elapsed,
              "no-walk",
              {{0, MinuteText(*walked_ + 1)}, {1, MinuteText(label - 1)}},
              [this, span](const std::vector<std::string>& f) {
                return facts_.WrongCauses(f.back(), span, false);
              },
              "the minutes before the end"});
  }
  Expect({quit.at, quit.elapsed, "end", {{0, "family gone"}}, {}, "the end"});
}

void WalkModel::StillWaiting(const Walk& walk, std::int64_t at, std::int64_t elapsed) {
  const std::string since = Clock(walk.waiting->localTime);
  Expect({at,
          elapsed,
          "waiting",
          {{0, MinuteText(walk.label)},
           {1, std::to_string(walk.dueLine.first)},
           {2, walk.dueLine.second},
           {3, since}},
          {},
          Line(walk.dueLine.first) + "'s launch still waiting"});
}

void WalkModel::End(Walk& walk, int fromLine, std::int64_t at, std::int64_t elapsed,
                    std::function<std::string(const std::string&)> reasonWrong) {
  walk.over = true;
  if (fromLine <= 0)
    return;
  Expect({at,
          elapsed,
          "not-examined",
          {{0, MinuteText(walk.label)}, {1, std::to_string(fromLine)}},
          [reasonWrong](const std::vector<std::string>& f) { return reasonWrong(f.back()); },
          "the lines from " + Line(fromLine) + " left by the walk of " + MinuteText(walk.label)});
}

void WalkModel::Unwind() {
  while (!walks_.empty() && walks_.back()->done) walks_.pop_back();
}

}  // namespace pendulon::sim
