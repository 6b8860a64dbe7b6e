#pragma once
// The task table and the two timers that serve it: TaskTimer walks the table once a minute at
// second 0, ModifyTimer reloads the whole table once a second after the task file's write time
// or size changes. The table lives from StartScheduler until FreeTaskList.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "platform/AnsiString.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/StringList.h"
#include "platform/Timer.h"
#include "scheduler/MinuteMatcher.h"

namespace pendulon {

// Told of each load of the task table, for a record kept by the caller.
class LoadObserver {
 public:
  enum class Kind { kFirst, kReload, kRetry };  // kRetry: a quiet retry after a failed load
  virtual void Loaded(Kind kind, const AnsiString& path, const TStringList& lines) = 0;
  // A load that raises its error; the quiet retries that fail again are not told.
  virtual void LoadFailed(Kind kind, const AnsiString& path, const AnsiString& error) = 0;

 protected:
  ~LoadObserver() = default;
};

// Told of each due task line the walk passes over because its launch in an earlier minute still
// waits inside the shell.
class WalkObserver {
 public:
  virtual void PassedOver(int line, const AnsiString& item, const AnsiString& reason) = 0;

 protected:
  ~WalkObserver() = default;
};

class TaskScheduler {
 public:
  // Every minute tick falls this long after the minute boundary, the first one included: late
  // enough that a timer running a little fast still lands in second 0 of the minute it serves.
  static constexpr std::uint32_t kTickAfterBoundary = 200;

  TaskScheduler(Platform& platform, WindowHandle owner, TaskRunner runTask,
                TTimer::ErrorHandler onTimerError);

  // Loads from now on are told to the observer; null tells nobody.
  void SetLoadObserver(LoadObserver* observer) { loadObserver_ = observer; }
  // Lines passed over from now on are told to the observer; null tells nobody.
  void SetWalkObserver(WalkObserver* observer) { walkObserver_ = observer; }

  // Sets the task path, creates the table, waits for second 00, starts TaskTimer to tick 200 ms
  // past each following boundary, takes the file's write mark, loads the file and starts
  // ModifyTimer, in that order. A failed load raises EFOpenError; the change watch then stays
  // off for a missing file, and retries quietly for a file that exists. A refused timer raises
  // EOutOfResources; when it follows a failed load, the load error is reported first.
  void StartScheduler();

  // One minute tick: re-arms the timer for just after the next minute boundary, so that ticks
  // never drift out of second 0, then walks the table. A line whose launch of an earlier minute
  // still waits in the shell is passed over. A refused re-arm raises EOutOfResources after the
  // walk (after the walk's own error, if it raised one), once per outage, and only while no
  // later tick has re-armed; the timer goes on at its old period meanwhile.
  void TaskTimerTimer();

  // One change-watch tick. Outside second 0, a changed write mark reloads the whole table; a
  // load that failed while the file still exists is retried quietly until it succeeds.
  void ModifyTimerTimer();

  // Frees the table; later ticks find it absent and empty. Safe to call again.
  void FreeTaskList() { taskList_.reset(); }

  const AnsiString& TasksPath() const { return tasksPath_; }
  const WriteMark& TaskMark() const { return taskMark_; }
  const TStringList* TaskList() const { return taskList_.get(); }
  TTimer& TaskTimer() { return taskTimer_; }
  TTimer& ModifyTimer() { return modifyTimer_; }

 private:
  // Loads the table; a failure while the file exists starts the quiet retries. The error is
  // raised unless it only repeats one already reported for this file.
  void Load(LoadObserver::Kind kind);
  // Runs a due line's item, unless that line's launch in an earlier minute still waits.
  void RunTask(const AnsiString& itemName, int lineNumber);
  bool RefusalToReport() const { return rearmRefused_ && !rearmReported_; }

  // A task line by its number and item: a reload that puts another line there is another line.
  using LineKey = std::pair<int, AnsiString>;
  using WaitingLaunches = std::map<LineKey, SystemTime>;

  Platform& platform_;
  TaskRunner runTask_;
  TTimer::ErrorHandler reportError_;
  LoadObserver* loadObserver_ = nullptr;
  WalkObserver* walkObserver_ = nullptr;
  TTimer taskTimer_;
  TTimer modifyTimer_;
  AnsiString tasksPath_;
  WriteMark taskMark_;
  std::unique_ptr<TStringList> taskList_;
  bool retryLoad_ = false;      // the last load failed while the file was still there
  bool rearmRefused_ = false;   // the latest re-arm of TaskTimer was refused
  bool rearmReported_ = false;  // that refusal has been reported
  // The lines whose launch has not returned yet, with the time it began.
  WaitingLaunches waitingLaunches_;
};

}  // namespace pendulon
