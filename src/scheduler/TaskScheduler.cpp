#include "scheduler/TaskScheduler.h"

#include <algorithm>
#include <string>

#include "platform/Clock.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/FolderFiles.h"
#include "platform/Process.h"
#include "scheduler/TaskLine.h"

namespace pendulon {

TaskScheduler::TaskScheduler(HostSystem& host, WindowSystem& windows, WindowHandle owner,
                             TaskLauncher launch, TTimer::ErrorHandler onTimerError)
    : host_(host),
      launch_(std::move(launch)),
      reportError_(onTimerError),
      taskTimer_(windows, owner, onTimerError),
      modifyTimer_(windows, owner, onTimerError) {
  taskTimer_.SetEnabled(false);
  taskTimer_.SetInterval(60000);
  taskTimer_.SetOnTimer([this] { TaskTimerTimer(); });
  modifyTimer_.SetEnabled(false);
  modifyTimer_.SetInterval(1000);  // the change watch looks once a second
  modifyTimer_.SetOnTimer([this] { ModifyTimerTimer(); });
}

void TaskScheduler::StartScheduler() {
  tasksPath_ = LibFile(ExeDirectory(host_), kTasksFile);
  taskList_ = std::make_unique<TStringList>();
  AlignToMinute(host_);
  // Started 200 ms past the boundary with a plain minute's period: the first tick falls where
  // every re-armed one does, never in the minute the alignment ended in, even on a timer that
  // runs fast; and a plain minute is the period a timer that cannot be re-armed keeps.
  const std::uint32_t intoSecond = host_.LocalTime().milliseconds;
  if (intoSecond < kTickAfterBoundary)
    host_.Sleep(kTickAfterBoundary - intoSecond);
  taskTimer_.SetEnabled(true);
  // The minute the alignment ends in counts as walked: a first tick that comes early never
  // matches it, and minutes after it that pass without a walk are told as such.
  since_.walk = ReadClock(host_);
  ledger_.BeginWalk(since_.walk.LocalMinuteNumber());
  taskMark_ = WriteMarkOf(host_, tasksPath_);
  try {
    Load(LoadObserver::Kind::kFirst);
  } catch (const EFOpenError&) {
    // A file the family is still writing when it starts us is read as soon as it is free, not
    // at the next logon. A missing file stays unwatched, as callers expect.
    if (retryLoad_) {
      const std::exception_ptr loadError = std::current_exception();
      try {
        modifyTimer_.SetEnabled(true);
      } catch (const EOutOfResources&) {
        // Both reach the user, the load error first: only one error can leave here.
        if (reportError_)
          reportError_(loadError);
        throw;
      }
    }
    throw;
  }
  modifyTimer_.SetEnabled(true);
}

void TaskScheduler::TaskTimerTimer() {
  if (stopped_)
    return;
  const ClockReading now = ReadClock(host_);
  NoteTick(now.awake);
  // Re-armed before the walk: a launch that blocks past the next boundary then leaves that tick
  // waiting, and it runs as soon as the walk returns instead of being dropped by a late re-arm.
  rearmRefused_ = !taskTimer_.Rearm(MillisecondsToNextMinute(now.local) + kTickAfterBoundary);
  if (!rearmRefused_)
    rearmReported_ = false;
  since_.timerRefused = since_.timerRefused || rearmRefused_;
  // A tick that comes early, after the clock was set back a little or on a period the timer
  // kept, finds its minute walked already: it only re-arms.
  const LaunchLedger::Verdict verdict =
      ledger_.Judge(now.LocalMinuteNumber(), MovementBetween(since_.walk, now));
  std::exception_ptr walkError;
  if (verdict == LaunchLedger::Verdict::kNotAgain) {
    NotAgain(now);
  } else {
    try {
      WalkMinute(now, verdict);
    } catch (...) {
      walkError = std::current_exception();
    }
  }
  // A line that raises must not hide the refusal; and a tick run inside this one's launch may
  // have re-armed since, which ends the outage this tick saw.
  if (walkError) {
    if (!RefusalToReport() || !reportError_)
      std::rethrow_exception(walkError);
    reportError_(walkError);
  }
  if (RefusalToReport()) {
    rearmReported_ = true;
    throw EOutOfResources();
  }
}

void TaskScheduler::WalkMinute(const ClockReading& now, LaunchLedger::Verdict verdict) {
  BeginWalk(now, verdict);
  Walk walk;
  walk.localMinute = now.LocalMinuteNumber();
  walk.minute = MinuteTime(walk.localMinute);
  walk.utcMinute = now.UtcMinute();
  walk.tableChanges = tableChanges_;
  walks_.push_back(&walk);
  struct Done {
    std::vector<Walk*>& walks;
    ~Done() { walks.pop_back(); }
  } done{walks_};
  try {
    WalkTasks(
        walk.minute, taskList_,
        [&](const AnsiString& itemName, int lineNumber) {
          return RunTask(walk, itemName, lineNumber);
        },
        &walk.line);
  } catch (...) {
    // The error ends this minute's walk; the lines below the one that raised are told as left,
    // since the box that tells of the error is shown only once while it stays open.
    raised_ = {std::current_exception(), walk.line};
    EndWalk(walk, "the walk ended at line " + std::to_string(walk.line) + " with the error \"" +
                      ErrorText(std::current_exception()) + "\"");
    throw;
  }
}

void TaskScheduler::BeginWalk(const ClockReading& now, LaunchLedger::Verdict verdict) {
  const std::int64_t minute = now.LocalMinuteNumber();
  if (walkObserver_ != nullptr) {
    const std::int64_t last = ledger_.LastWalked().value_or(minute - 1);
    if (verdict == LaunchLedger::Verdict::kWalkAgain) {
      walkObserver_->ClockSetBack(MinuteTime(last), MinuteTime(minute), true,
                                  WhyBack(MovementBetween(since_.walk, now), now.offsetMinutes));
    } else if (minute > last + 1) {
      walkObserver_->NotWalked(MinuteTime(last + 1), MinuteTime(minute - 1), WhyLate(since_, now));
    }
    // Ticks fall 200 ms past the boundary; a walk that begins after second 2 is late.
    if (now.IntoMinute() >= 3000)
      walkObserver_->WalkedLate(MinuteTime(minute), now.IntoMinute(), WhyLate(since_, now));
  }
  // A walk still waiting inside a launch's box will find its minute over when it resumes, if it
  // ever does: the lines it has not reached are told now.
  for (Walk* waiting : walks_) {
    if (waiting->over)
      continue;
    if (walkObserver_ != nullptr && !waiting->item.empty())
      walkObserver_->StillWaiting(waiting->minute, waiting->line, waiting->item,
                                  waiting->launchedAt);
    EndWalk(*waiting,
            "line " + std::to_string(waiting->line) + "'s launch is still waiting in the shell");
  }
  ledger_.BeginWalk(minute);
  since_ = SinceLastWalk{};
  since_.walk = now;
  // A refusal of this tick's re-arm bears on the next tick.
  since_.timerRefused = rearmRefused_;
  toldNotAgain_.reset();
}

void TaskScheduler::NotAgain(const ClockReading& now) {
  const ClockMovement moved = MovementBetween(since_.walk, now);
  NoteTickWithoutWalk(since_, now);
  const std::optional<std::int64_t> last = ledger_.LastWalked();
  const std::int64_t minute = now.LocalMinuteNumber();
  // A tick that only came early says nothing; a set-back says once which minutes it leaves out.
  if (walkObserver_ == nullptr || !last || moved.steppedMs > -LaunchLedger::kClockGrainMs ||
      (toldNotAgain_ && minute >= toldNotAgain_->first))
    return;
  walkObserver_->ClockSetBack(MinuteTime(*last), MinuteTime(minute), false,
                              WhyBack(moved, now.offsetMinutes));
  toldNotAgain_.emplace(minute, *last);
}

bool TaskScheduler::RunTask(Walk& walk, const AnsiString& itemName, int lineNumber) {
  if (walk.over)
    return false;
  const LaunchLedger::LineKey key{lineNumber, itemName};
  if (const AnsiString refusal = ledger_.Refusal(key, walk.localMinute); !refusal.empty()) {
    if (walkObserver_ != nullptr)
      walkObserver_->PassedOver(walk.minute, lineNumber, itemName, refusal);
    return true;
  }
  // What the walk would examine next, known while its table is still the one it walks.
  walk.nextLine = NextTaskLine(lineNumber);
  const std::uint64_t ticksBefore = ticksHandled_;
  const std::uint64_t began = host_.AwakeMilliseconds();
  {
    // Marked as waiting until the launch returns, on every path out.
    struct Returned {
      LaunchLedger& ledger;
      const LaunchLedger::LineKey& key;
      ~Returned() { ledger.Returned(key); }
    } returned{ledger_, key};
    walk.item = itemName;
    walk.launchedAt = host_.LocalTime();
    ledger_.Began(key, walk.localMinute, walk.launchedAt);
    launch_(itemName, lineNumber, walk.minute);
  }
  walk.item.clear();
  const ClockReading now = ReadClock(host_);
  const bool ticksRan = ticksHandled_ != ticksBefore;
  if (!ticksRan)
    since_.heldMs += now.awake - began;
  if (walk.over)
    return false;  // a later walk has begun meanwhile, or the program ends, and told what is left
  const std::string line = "line " + std::to_string(lineNumber) + "'s launch";
  // The lines below were read from a table that is gone; by their old numbers they would launch
  // other lines, or lines twice.
  if (tableChanges_ != walk.tableChanges) {
    EndWalk(walk, "the task file was reloaded while " + line + " waited in the shell");
    return false;
  }
  if (now.UtcMinute() == walk.utcMinute)
    return true;
  EndWalk(walk, now.UtcMinute() < walk.utcMinute
                    ? "the clock went back to " + TimeOfDay(now.local) + " while " + line + " ran"
                    : line + " " + (ticksRan ? "waited in the shell" : "held the program") +
                          " until " + TimeOfDay(now.local));
  return false;
}

int TaskScheduler::NextTaskLine(int lineNumber) const {
  for (int i = lineNumber; taskList_ && i < taskList_->Count(); ++i)
    if (IsTaskLine(taskList_->Get(i)))
      return i + 1;
  return 0;
}

void TaskScheduler::Stop(const AnsiString& why) {
  if (stopped_)
    return;
  stopped_ = true;
  for (Walk* walk : walks_) {
    if (walk->over)
      continue;
    if (walk->item.empty()) {
      EndWalk(*walk, why);
      continue;
    }
    if (walkObserver_ != nullptr)
      walkObserver_->StillWaiting(walk->minute, walk->line, walk->item, walk->launchedAt);
    EndWalk(*walk,
            why + " while line " + std::to_string(walk->line) + "'s launch waited in the shell");
  }
  TellMinutesNotWalked(ReadClock(host_));
}

void TaskScheduler::TellMinutesNotWalked(const ClockReading& now) {
  const std::optional<std::int64_t> last = ledger_.LastWalked();
  if (walkObserver_ != nullptr && last && now.LocalMinuteNumber() > *last + 1)
    walkObserver_->NotWalked(MinuteTime(*last + 1), MinuteTime(now.LocalMinuteNumber() - 1),
                             WhyLate(since_, now));
}

void TaskScheduler::NoteTick(std::uint64_t awake) {
  ++ticksHandled_;
  // A launch that handled no message for a while (a slow network path) held every timer; the
  // ticks it kept waiting come now. The watch ticks each second, so a longer silence is a hold.
  const bool launching = std::any_of(walks_.begin(), walks_.end(),
                                     [](const Walk* walk) { return !walk->item.empty(); });
  if (launching && awake - lastTick_ > 1500)
    since_.heldMs += awake - lastTick_;
  lastTick_ = awake;
}

void TaskScheduler::EndWalk(Walk& walk, const AnsiString& reason) {
  if (walk.over)
    return;
  walk.over = true;
  if (walkObserver_ == nullptr)
    return;
  // A table reloaded or freed since the walk's launch began no longer holds the lines it left;
  // the number it noted then names them.
  const int from = tableChanges_ != walk.tableChanges ? walk.nextLine : NextTaskLine(walk.line);
  if (from > 0)
    walkObserver_->NotExamined(walk.minute, from, reason);
}

void TaskScheduler::ModifyTimerTimer() {
  NoteTick(host_.AwakeMilliseconds());
  if (!taskList_) {
    return;
  }
  const WriteMark mark = WriteMarkOf(host_, tasksPath_);
  const bool changed = mark != taskMark_;
  if (!changed && !retryLoad_) {
    return;
  }
  // Minute ticks fall in second 0; the table is never swapped under them.
  if (ClockText(host_, "s") == "0") {
    return;
  }
  if (changed) {
    taskMark_ = mark;
    taskList_->Clear();
    ++tableChanges_;
  }
  Load(changed ? LoadObserver::Kind::kReload : LoadObserver::Kind::kRetry);
}

void TaskScheduler::Load(LoadObserver::Kind kind) {
  const bool reported = retryLoad_;
  // The minute the start's wait ended in counts as walked; the walks serve those after it.
  const std::optional<SystemTime> firstWalk =
      kind == LoadObserver::Kind::kFirst
          ? std::optional<SystemTime>(MinuteTime(since_.walk.LocalMinuteNumber() + 1))
          : std::nullopt;
  try {
    LoadLines(host_, *taskList_, tasksPath_);
    ++tableChanges_;
    retryLoad_ = false;
  } catch (const EFOpenError& error) {
    // A writer still holding the file is waited out without a box per second.
    retryLoad_ = taskMark_.present;
    if (!reported || !retryLoad_) {
      if (loadObserver_ != nullptr)
        loadObserver_->LoadFailed(kind, tasksPath_, error.Message(), firstWalk);
      throw;
    }
    return;
  }
  if (loadObserver_ != nullptr)
    loadObserver_->Loaded(kind, tasksPath_, *taskList_, firstWalk);
}

}  // namespace pendulon
