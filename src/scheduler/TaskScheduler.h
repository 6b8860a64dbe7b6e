#pragma once
// The task table and the two timers that serve it: TaskTimer walks the table once a minute at
// second 0, ModifyTimer reloads the whole table once a second after the task file's write time
// or size changes. The table lives from StartScheduler until FreeTaskList.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/AnsiString.h"
#include "platform/Files.h"
#include "platform/HostSystem.h"
#include "platform/StringList.h"
#include "platform/Timer.h"
#include "platform/WindowSystem.h"
#include "scheduler/ClockReading.h"
#include "scheduler/LaunchLedger.h"
#include "scheduler/MinuteMatcher.h"
#include "scheduler/WalkObserver.h"
#include "scheduler/WalkWords.h"

namespace pendulon {

// Told of each load of the task table, for a record kept by the caller.
class LoadObserver {
 public:
  enum class Kind { kFirst, kReload, kRetry };  // kRetry: a quiet retry after a failed load
  // firstWalk: for the first load, the first local minute the walks serve; none for the others.
  virtual void Loaded(Kind kind, const AnsiString& path, const TStringList& lines,
                      const std::optional<SystemTime>& firstWalk) = 0;
  // A load that raises its error; the quiet retries that fail again are not told.
  virtual void LoadFailed(Kind kind, const AnsiString& path, const AnsiString& error,
                          const std::optional<SystemTime>& firstWalk) = 0;

 protected:
  ~LoadObserver() = default;
};

// Launches a due line's item for the minute the walk serves (its local time, seconds zero).
using TaskLauncher =
    std::function<void(const AnsiString& itemName, int lineNumber, const SystemTime& minute)>;

class TaskScheduler {
 public:
  // Every minute tick falls this long after the minute boundary, the first one included: late
  // enough that a timer running a little fast still lands in second 0 of the minute it serves.
  static constexpr std::uint32_t kTickAfterBoundary = 200;

  // The host gives the files, the clock and the process's folder; the window system the timers.
  TaskScheduler(HostSystem& host, WindowSystem& windows, WindowHandle owner, TaskLauncher launch,
                TTimer::ErrorHandler onTimerError);

  // Loads from now on are told to the observer; null tells nobody.
  void SetLoadObserver(LoadObserver* observer) { loadObserver_ = observer; }
  // What the walks leave undone from now on is told to the observer; null tells nobody.
  void SetWalkObserver(WalkObserver* observer) { walkObserver_ = observer; }

  // Sets the task path, creates the table, waits for second 00, starts TaskTimer to tick 200 ms
  // past each following boundary, takes the file's write mark, loads the file and starts
  // ModifyTimer, in that order. A failed load raises EFOpenError; the change watch then stays
  // off for a missing file, and retries quietly for a file that exists. A refused timer raises
  // EOutOfResources; when it follows a failed load, the load error is reported first.
  void StartScheduler();

  // One minute tick: re-arms the timer for just after the next minute boundary, so that ticks
  // never drift out of second 0, then walks the table for the minute the local clock shows, unless
  // that minute has been walked already. A line launches at most once for a minute, and not
  // while its earlier launch, or 8 others, still wait in the shell. A walk ends before its last
  // line once its minute is over, or once the table was reloaded while a launch waited, and the
  // lines left are told to the observer, as are local minutes no walk served, minutes walked
  // again or not again after the clock went back, and a walk that began late. A refused re-arm
  // raises EOutOfResources after the walk (after the walk's own error, if it raised one), once
  // per outage, and only while no later tick has re-armed; the timer goes on at its old period.
  void TaskTimerTimer();

  // One change-watch tick. Outside second 0, a changed write mark reloads the whole table; a
  // load that failed while the file still exists is retried quietly until it succeeds.
  void ModifyTimerTimer();

  // As the program ends: every walk in progress ends, its waiting launch and the lines it leaves
  // told ("<why> while line 2's launch waited in the shell"), then the minutes since the last
  // walk that went without one. No walk begins after it.
  void Stop(const AnsiString& why);

  // Frees the table; later ticks find it absent and empty. Safe to call again.
  void FreeTaskList() {
    taskList_.reset();
    ++tableChanges_;
  }

  // The task line whose walk raised that error, as it leaves TaskTimerTimer; 0 for an error
  // no walk raised, such as a refused timer.
  int LineThatRaised(const std::exception_ptr& error) const {
    return error && error == raised_.first ? raised_.second : 0;
  }

  const AnsiString& TasksPath() const { return tasksPath_; }
  const WriteMark& TaskMark() const { return taskMark_; }
  const TStringList* TaskList() const { return taskList_.get(); }
  TTimer& TaskTimer() { return taskTimer_; }
  TTimer& ModifyTimer() { return modifyTimer_; }

 private:
  // Loads the table; a failure while the file exists starts the quiet retries. The error is
  // raised unless it only repeats one already reported for this file.
  void Load(LoadObserver::Kind kind);
  // A walk in progress; it lives on the stack of its tick.
  struct Walk {
    SystemTime minute;               // the local minute it serves
    std::int64_t localMinute = 0;    // the same, counted as the ledger counts it
    std::int64_t utcMinute = 0;      // the minute of UTC it began in
    int line = 0;                    // the line it examines, or whose launch it waits for
    int nextLine = 0;                // the task line after that one, as the walk's table had it
    AnsiString item;                 // the item of the launch it waits for, if any
    SystemTime launchedAt;           // when that launch began
    bool over = false;               // the lines it did not reach have been told
    std::uint64_t tableChanges = 0;  // the table's changes when it began
  };

  void WalkMinute(const ClockReading& now, LaunchLedger::Verdict verdict);
  // Tells what came between the last walk and this one, and ends the walks still waiting.
  void BeginWalk(const ClockReading& now, LaunchLedger::Verdict verdict);
  // A tick in a minute that is not walked again: says so once when the clock was set back.
  void NotAgain(const ClockReading& now);
  // Runs a due line's item unless the ledger refuses it; false once the walk has ended.
  bool RunTask(Walk& walk, const AnsiString& itemName, int lineNumber);
  // Tells the observer that the walk leaves the lines after its current one, if any is a task.
  void EndWalk(Walk& walk, const AnsiString& reason);
  // The number of the first task line after that one in the table, 0 for none.
  int NextTaskLine(int lineNumber) const;
  void TellMinutesNotWalked(const ClockReading& now);
  // Counts a tick of either timer, and the time a launch held the thread before it.
  void NoteTick(std::uint64_t awake);
  bool RefusalToReport() const { return rearmRefused_ && !rearmReported_; }

  HostSystem& host_;
  TaskLauncher launch_;
  TTimer::ErrorHandler reportError_;
  LoadObserver* loadObserver_ = nullptr;
  WalkObserver* walkObserver_ = nullptr;
  TTimer taskTimer_;
  TTimer modifyTimer_;
  AnsiString tasksPath_;
  WriteMark taskMark_;
  std::unique_ptr<TStringList> taskList_;
  std::pair<std::exception_ptr, int> raised_;  // the last error a walk raised, and its line
  bool retryLoad_ = false;      // the last load failed while the file was still there
  bool rearmRefused_ = false;   // the latest re-arm of TaskTimer was refused
  bool rearmReported_ = false;  // that refusal has been reported
  LaunchLedger ledger_;
  SinceLastWalk since_;
  bool stopped_ = false;
  // The local minutes told as not walked again since the last walk, first and last.
  std::optional<std::pair<std::int64_t, std::int64_t>> toldNotAgain_;
  std::vector<Walk*> walks_;        // the walks in progress, the outermost first
  std::uint64_t tableChanges_ = 0;  // loads and clears of the table, and its freeing
  // Minute and watch ticks, and when the last began (awake time): a launch that runs none holds
  // the thread.
  std::uint64_t ticksHandled_ = 0;
  std::uint64_t lastTick_ = 0;
};

}  // namespace pendulon
