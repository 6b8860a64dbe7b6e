#include "scheduler/TaskScheduler.h"

#include "platform/Clock.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Process.h"

namespace pendulon {

TaskScheduler::TaskScheduler(Platform& platform, WindowHandle owner, ItemRunner runItem,
                             TTimer::ErrorHandler onTimerError)
    : TaskScheduler(
          platform, owner,
          [runItem = std::move(runItem)](const AnsiString& itemName, int) { runItem(itemName); },
          std::move(onTimerError)) {}

TaskScheduler::TaskScheduler(Platform& platform, WindowHandle owner, TaskRunner runTask,
                             TTimer::ErrorHandler onTimerError)
    : platform_(platform),
      runTask_(std::move(runTask)),
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
  taskTimer_.SetEnabled(true);
  taskMark_ = WriteMarkOf(platform_, tasksPath_);
  try {
    Load(LoadObserver::Kind::kFirst);
  } catch (const EFOpenError&) {
    // A file the family is still writing when it starts us is read as soon as it is free, not
    // at the next logon. A missing file stays unwatched, as callers expect.
    if (retryLoad_)
      modifyTimer_.SetEnabled(true);
    throw;
  }
  modifyTimer_.SetEnabled(true);
}

void TaskScheduler::TaskTimerTimer() {
  // Re-armed before the walk: a launch that blocks past the next boundary then leaves that tick
  // waiting, and it runs as soon as the walk returns instead of being dropped by a late re-arm.
  const bool rearmed = taskTimer_.Rearm(MillisecondsToNextMinute(platform_) + kTickAfterBoundary);
  if (rearmed)
    rearmReported_ = false;
  WalkTasks(platform_, taskList_, runTask_);
  if (!rearmed && !rearmReported_) {
    rearmReported_ = true;
    throw EOutOfResources();
  }
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
