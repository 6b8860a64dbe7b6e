#include "scheduler/TaskScheduler.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Process.h"

namespace pendulon {
namespace {

// "08:31:00"
AnsiString TimeOfDay(const SystemTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{t.hour} % 100u,
                unsigned{t.minute} % 100u, unsigned{t.second} % 100u);
  return text;
}

}  // namespace

TaskScheduler::TaskScheduler(Platform& platform, WindowHandle owner, TaskRunner runTask,
                             TTimer::ErrorHandler onTimerError)
    : platform_(platform),
      runTask_(std::move(runTask)),
      reportError_(onTimerError),
      taskTimer_(platform, owner, onTimerError),
      modifyTimer_(platform, owner, onTimerError) {
  taskTimer_.SetEnabled(false);
  taskTimer_.SetInterval(60000);
  taskTimer_.SetOnTimer([this] { TaskTimerTimer(); });
  modifyTimer_.SetEnabled(false);
  modifyTimer_.SetOnTimer([this] { ModifyTimerTimer(); });
}

void TaskScheduler::StartScheduler() {
  tasksPath_ = ExeDirectory(platform_) + "\\lib\\tasks.qef";
  taskList_ = std::make_unique<TStringList>();
  AlignToMinute(platform_);
  // Started 200 ms past the boundary with a plain minute's period: the first tick falls where
  // every re-armed one does, never in the minute the alignment ended in, even on a timer that
  // runs fast; and a plain minute is the period a timer that cannot be re-armed keeps.
  const std::uint32_t intoSecond = platform_.LocalTime().milliseconds;
  if (intoSecond < kTickAfterBoundary)
    platform_.Sleep(kTickAfterBoundary - intoSecond);
  taskTimer_.SetEnabled(true);
  taskMark_ = WriteMarkOf(platform_, tasksPath_);
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
  // Re-armed before the walk: a launch that blocks past the next boundary then leaves that tick
  // waiting, and it runs as soon as the walk returns instead of being dropped by a late re-arm.
  rearmRefused_ = !taskTimer_.Rearm(MillisecondsToNextMinute(platform_) + kTickAfterBoundary);
  if (!rearmRefused_)
    rearmReported_ = false;
  std::exception_ptr walkError;
  try {
    WalkTasks(platform_, taskList_, [this](const AnsiString& itemName, int lineNumber) {
      RunTask(itemName, lineNumber);
    });
  } catch (...) {
    walkError = std::current_exception();
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

void TaskScheduler::RunTask(const AnsiString& itemName, int lineNumber) {
  // A shell box shown during a launch runs ticks inside it; launching the same line again there
  // would nest one more box each minute until the stack runs out.
  const LineKey key{lineNumber, itemName};
  if (const auto waiting = waitingLaunches_.find(key); waiting != waitingLaunches_.end()) {
    if (walkObserver_ != nullptr)
      walkObserver_->PassedOver(
          lineNumber, itemName,
          "its launch at " + TimeOfDay(waiting->second) + " is still waiting in the shell");
    return;
  }
  // Marked as waiting until the launch returns, on every path out.
  struct Returned {
    WaitingLaunches& waiting;
    WaitingLaunches::iterator entry;
    ~Returned() { waiting.erase(entry); }
  } returned{waitingLaunches_, waitingLaunches_.emplace(key, platform_.LocalTime()).first};
  runTask_(itemName, lineNumber);
}

void TaskScheduler::ModifyTimerTimer() {
  if (!taskList_) {
    return;
  }
  const WriteMark mark = WriteMarkOf(platform_, tasksPath_);
  const bool changed = mark != taskMark_;
  if (!changed && !retryLoad_) {
    return;
  }
  // Minute ticks fall in second 0; the table is never swapped under them.
  if (ClockText(platform_, "s") == "0") {
    return;
  }
  if (changed) {
    taskMark_ = mark;
    taskList_->Clear();
  }
  Load(changed ? LoadObserver::Kind::kReload : LoadObserver::Kind::kRetry);
}

void TaskScheduler::Load(LoadObserver::Kind kind) {
  const bool reported = retryLoad_;
  try {
    LoadLines(platform_, *taskList_, tasksPath_);
    retryLoad_ = false;
  } catch (const EFOpenError& error) {
    // A writer still holding the file is waited out without a box per second.
    retryLoad_ = taskMark_.present;
    if (!reported || !retryLoad_) {
      if (loadObserver_ != nullptr)
        loadObserver_->LoadFailed(kind, tasksPath_, error.Message());
      throw;
    }
    return;
  }
  if (loadObserver_ != nullptr)
    loadObserver_->Loaded(kind, tasksPath_, *taskList_);
}

}  // namespace pendulon
