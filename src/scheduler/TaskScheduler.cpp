#include "scheduler/TaskScheduler.h"

#include "platform/Clock.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Process.h"

namespace pendulon {

TaskScheduler::TaskScheduler(Platform& platform, WindowHandle owner, ItemRunner runItem,
                             TTimer::ErrorHandler onTimerError)
    : platform_(platform),
      runItem_(std::move(runItem)),
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
  taskStamp_ = FileStamp(platform_, tasksPath_);
  LoadLines(platform_, *taskList_, tasksPath_);
  modifyTimer_.SetEnabled(true);
}

void TaskScheduler::TaskTimerTimer() {
  try {
    WalkTasks(platform_, taskList_, runItem_);
  } catch (...) {
    taskTimer_.Restart(MillisecondsToNextMinute(platform_) + kTickAfterBoundary);
    throw;
  }
  taskTimer_.Restart(MillisecondsToNextMinute(platform_) + kTickAfterBoundary);
}

void TaskScheduler::ModifyTimerTimer() {
  if (!taskList_) {
    return;
  }
  const bool changed = FileStamp(platform_, tasksPath_) != taskStamp_;
  if (!changed && !retryLoad_) {
    return;
  }
  // Minute ticks fall in second 0; the table is never swapped under them.
  if (ClockText(platform_, "s") == "0") {
    return;
  }
  if (!changed) {
    // The writer held the file a moment longer than its save; its error was shown already.
    try {
      LoadLines(platform_, *taskList_, tasksPath_);
      retryLoad_ = false;
    } catch (const EFOpenError&) {
    }
    return;
  }
  Reload();
}

void TaskScheduler::Reload() {
  taskStamp_ = FileStamp(platform_, tasksPath_);
  retryLoad_ = false;
  taskList_->Clear();
  try {
    LoadLines(platform_, *taskList_, tasksPath_);
  } catch (const EFOpenError&) {
    retryLoad_ = taskStamp_ != -1;
    throw;
  }
}

}  // namespace pendulon
