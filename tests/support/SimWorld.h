#pragma once
// The simulated machine the program's logic runs on in tests: a virtual clock with a time zone,
// an in-memory file system, the list of top-level windows, scheduled events, and a record of
// every box and shell request. Processes (SimPlatform) live in a world and share all of it.
//
// Time only moves when a process sleeps or waits for a message; waiting jumps straight to the
// next timer expiry or scheduled event, so days of running take milliseconds.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Platform.h"

namespace pendulon::sim {

class SimPlatform;

constexpr std::int64_t kSecond = 1000;
constexpr std::int64_t kMinute = 60 * kSecond;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::int64_t kNever = INT64_MAX;

struct SimFile {
  bool directory = false;
  std::string bytes;
  std::int64_t lastWrite = 0;     // UTC milliseconds since 1970
  bool lockedForWriting = false;  // another process holds it open for writing
  bool failReads = false;         // opens, but every read fails
  bool readOnly = false;          // opening it to write or append is refused
  bool heldOpen = false;          // another process holds it open sharing nothing: every open fails
  bool refuseRename = false;      // renaming it fails, as while another process has it open
  FileKind kind = FileKind::kFile;  // what a handle to it reaches: a pipe or a device, say
  std::string linkTarget = {};      // not empty: the entry is a link that leads there

  // The handles of every process open on it now, as Windows counts them for delete sharing:
  // while one lacks kShareDelete, no handle with kDelete opens, and the reverse.
  int openHandles = 0;
  int openWithoutShareDelete = 0;
  int openForDelete = 0;
};

struct SimWindow {
  WindowHandle handle = 0;
  std::string className;
  std::string caption;
  bool visible = false;
  bool enabled = true;
  SimPlatform* process = nullptr;  // null for windows of other programs
  WindowClient* client = nullptr;
};

struct BoxRecord {
  enum Kind { kMessageBox, kShellBox };
  Kind kind = kMessageBox;
  const SimPlatform* process = nullptr;
  std::string ownerClass;  // window class of the owner; empty for none
  std::string text;
  std::string caption;
  std::uint32_t style = 0;
  std::int64_t openedAt = 0;
  std::int64_t closedAt = -1;  // -1 while open
  std::int64_t openedElapsed = 0, closedElapsed = -1;
  WindowHandle window = 0;  // the box's own window, of class "#32770", while it is open
};

struct ShellRecord {
  std::string ownerClass;
  std::string verb, file, parameters, directory;
  int showCommand = 0;
  std::int64_t at = 0;  // UTC ms
  SystemTime localTime;
  std::int64_t elapsed = 0;                            // the monotonic count as it began
  int depth = 0;                                       // modal loops it was asked from inside
  std::int64_t stall = 0;                              // how long it held the thread at first
  std::int64_t returnedAt = -1, returnedElapsed = -1;  // -1 until the call returned
  std::intptr_t answer = 0;
  std::uint64_t order = 0, returnOrder = 0;  // the world's order of what happened
};

// A tick a timer delivered: when it fell due and when its handler was called, from inside how
// many modal loops.
struct TickRecord {
  const SimPlatform* process = nullptr;
  std::uint32_t interval = 0;  // the interval the timer was first started with
  std::int64_t at = 0, elapsed = 0, dueElapsed = 0;
  int depth = 0;
  std::uint64_t order = 0;
};

// A timer the platform refused to start or re-arm.
struct RefusedTimer {
  std::uint32_t interval = 0;  // the interval the timer was first started with; 0 for a new one
  std::int64_t at = 0, elapsed = 0;
  std::uint64_t order = 0;
};

// A step of the wall clock, or a sleep of the machine, from that moment on.
struct ClockEvent {
  std::int64_t at = 0, elapsed = 0;  // as it began
  std::int64_t length = 0;           // the step, either way; the sleep's length
};

// What was written to a watched file at a moment: by WriteFile the whole contents, by a process
// the bytes of one write; with the file's size once written.
struct FileWrite {
  std::string key;
  std::int64_t at = 0, elapsed = 0;
  std::uint64_t order = 0;
  std::string bytes;
  std::size_t sizeAfter = 0;
};

// A process asked to end (PostQuitMessage), the first time.
struct QuitRecord {
  std::int64_t at = -1, elapsed = -1;
  std::uint64_t order = 0;
};

// A read of a watched file by a process: the bytes it read whole, or a failed open or read.
struct FileRead {
  std::string key;
  std::int64_t at = 0, elapsed = 0;
  bool ok = false;
  std::string bytes;
  std::uint64_t order = 0;
};

class SimWorld {
 public:
  SimWorld();

  // Clock. Local time is UTC plus the offset in force now.
  std::int64_t Now() const { return now_; }
  // Milliseconds the clock has moved forward in all, whatever it was set to: a monotonic counter.
  std::int64_t Elapsed() const { return elapsed_; }
  // The same count without the time the machine slept.
  std::int64_t Awake() const { return elapsed_ - slept_; }
  SystemTime LocalTime() const { return ToLocal(now_); }
  SystemTime ToLocal(std::int64_t utc) const;
  std::int64_t OffsetAt(std::int64_t utc) const;
  // Sets the clock so that the local time reads this now; the offset stays. Like Windows' clock,
  // it moves no timer: timers count the monotonic milliseconds.
  void SetLocalTime(int year, int month, int day, int hour, int minute, int second, int ms = 0);
  // Steps the wall clock by that many milliseconds, either way, as the time service does; the
  // monotonic count and the timers stay where they are.
  void StepClock(std::int64_t ms) {
    steps.push_back({now_, elapsed_, ms});
    now_ += ms;
  }
  // The machine sleeps that long from now (call it from a scheduled event): the clocks go on,
  // no process runs, and each timer that fell due meanwhile waits with one tick when it wakes.
  // A sleep that falls while the machine sleeps is none.
  void Sleep(std::int64_t ms);
  // The zone is a setting of the machine, not a part of time: a clock set back past the moment
  // the zone changed keeps the new zone. Each change takes effect from the monotonic count on.
  using Rules = std::vector<std::pair<std::int64_t, std::int64_t>>;  // (from UTC, offset), sorted
  // The user picks another zone: its offsets, now and at every other time, are the old zone's
  // shifted by that much.
  void ShiftZone(std::int64_t shift);
  // The zone's rules change: from now on it follows these (from UTC, offset) pairs for the times
  // after now, the offset now staying until the first of them.
  void ReplaceFutureRules(const Rules& rules);
  const Rules& CurrentRules() const { return zones_.back().rules; }
  // The local time at utc by the zone set at that monotonic count: how the clock read then.
  SystemTime LocalAt(std::int64_t utc, std::int64_t elapsed) const;
  std::int64_t OffsetAt(std::int64_t utc, std::int64_t elapsed) const;
  // The monotonic count at which the wall clock will read utc, if it is not stepped meanwhile.
  std::int64_t ElapsedAt(std::int64_t utc) const {
    return utc == kNever ? kNever : utc - now_ + elapsed_;
  }
  // From utc on, local time is UTC plus offset (milliseconds).
  void SetOffsetFrom(std::int64_t utc, std::int64_t offset);
  // UTC milliseconds for a local date and time, with the offset in force at that moment.
  std::int64_t UtcOf(int year, int month, int day, int hour, int minute, int second,
                     int ms = 0) const;

  // Moves the clock forward, running the scheduled events that fall due on the way. The wait is
  // counted from now: a step an event makes on the way does not lengthen or shorten it.
  void AdvanceTo(std::int64_t utc) { AdvanceElapsedTo(ElapsedAt(utc)); }
  void AdvanceBy(std::int64_t ms) { AdvanceElapsedTo(elapsed_ + ms); }
  void AdvanceElapsedTo(std::int64_t elapsed);

  // Scheduled events run when the wall clock reaches them, in time order.
  void At(std::int64_t utc, std::function<void()> action);
  std::int64_t NextEventTime() const;
  // Time past which the simulation stops every process, so that a test cannot run forever.
  // Unless a test sets one, it lies a week after the last SetLocalTime.
  std::int64_t Deadline() const { return deadline_; }
  void SetDeadline(std::int64_t utc) {
    deadline_ = utc;
    deadlineSet_ = true;
  }
  bool deadlineReached = false;

  // Files. Paths are Windows paths; case and doubled separators do not matter.
  void MakeDirectory(const std::string& path);
  // Writes a file (creating its folders), dated now unless a time is given.
  void WriteFile(const std::string& path, const std::string& bytes,
                 std::optional<std::int64_t> lastWrite = std::nullopt);
  void RemoveFile(const std::string& path);
  // Moves a file, wherever it is by now, to a new name, replacing a file there; false when the
  // file is held open without delete sharing, or the name there cannot be replaced.
  bool RenameFile(const SimFile& file, const std::string& to);
  void LockForWriting(const std::string& path, bool locked);
  SimFile* File(const std::string& path);
  // The file itself, which stays the same file through renames and outlives its removal while
  // a handle holds it; null for none.
  std::shared_ptr<SimFile> Shared(const std::string& path);
  bool Exists(const std::string& path) { return File(path) != nullptr; }
  std::string Contents(const std::string& path);
  static std::string Key(const std::string& path);
  // The same, remembered: a month asks for a few paths millions of times.
  const std::string& KeyOf(const std::string& path);
  static std::string ParentOf(const std::string& key);

  // Windows.
  WindowHandle AddWindow(const std::string& className, const std::string& caption,
                         SimPlatform* process = nullptr, WindowClient* client = nullptr);
  void RemoveWindow(WindowHandle handle);
  SimWindow* Window(WindowHandle handle);
  SimWindow* FindWindow(const std::string& className, const std::string& caption);
  std::vector<SimWindow>& Windows() { return windows_; }
  // Sends a close request to a window, as another program would (WM_CLOSE).
  void SendClose(WindowHandle handle);
  // Tells every window that the session ends (WM_ENDSESSION).
  void EndSession();
  // Adds the three windows of the family; gives their handles.
  std::vector<WindowHandle> OpenFamily();

  // How long the user takes to answer a box; kNever leaves it open until its process stops.
  std::function<std::int64_t(const BoxRecord&)> boxAnswer = [](const BoxRecord&) { return 0; };
  // How long a box that the shell shows during a launch stays open (0: no box).
  std::function<std::int64_t(const ShellRecord&)> shellBox = [](const ShellRecord&) { return 0; };
  // What ShellExecuteA returns for a launch: above 32 when the shell took it on.
  std::function<std::intptr_t(const ShellRecord&)> shellAnswer = [](const ShellRecord&) {
    return std::intptr_t{42};
  };
  // Every write to a file fails and writes nothing, and no file can be created, as on a full disk.
  bool diskFull = false;
  // How long a launch blocks without handling messages, as on a slow network path (0: none).
  std::function<std::int64_t(const ShellRecord&)> shellStall = [](const ShellRecord&) { return 0; };
  // The time from one timer expiry to the next, for drifting or jittering timers.
  std::function<std::int64_t(std::uint32_t interval)> timerPeriod = [](std::uint32_t interval) {
    return static_cast<std::int64_t>(interval);
  };
  // The platform refuses new timers of these intervals, or every timer while the flag is set;
  // a refused replacement leaves the running timer as it was.
  std::set<std::uint32_t> refusedTimerIntervals;
  bool refuseEveryTimer = false;
  // Milliseconds that pass with each reading of the clock, to expose busy waiting.
  std::int64_t msPerClockRead = 0;
  // Lead bytes of a double-byte ANSI code page; empty for a single-byte one.
  std::set<unsigned char> leadBytes;

  std::vector<BoxRecord> boxes;
  std::vector<ShellRecord> launches;
  // What happened, as an observer outside the program sees it: the ticks of the timers first
  // started with an interval in recordedTicks, every timer refused, the clock's steps, the
  // machine's sleeps, and the reads of the files in recordedReads (by Key).
  std::set<std::uint32_t> recordedTicks;
  std::vector<TickRecord> ticks;
  std::vector<RefusedTimer> refusedTimers;
  std::vector<ClockEvent> steps, sleeps;
  std::set<std::string> recordedReads;
  std::vector<FileRead> reads;
  QuitRecord quit;
  // The contents written by WriteFile to the files in recordedWrites (by Key), as they were made,
  // and what processes wrote to them.
  std::set<std::string> recordedWrites;
  std::vector<FileWrite> writes, processWrites;
  // States of the world a test names and notes as they change, to ask later how they stood at a
  // moment of the monotonic count (a change at that very count counts).
  void Note(const std::string& state, bool on) { notes_[state].emplace_back(elapsed_, on); }
  bool WasOn(const std::string& state, std::int64_t elapsed) const;

  // The order of the world's records, so that two at one moment can be told apart.
  std::uint64_t NextOrder() { return ++order_; }
  std::vector<std::string> opened;  // every path a process tried to open, in order
  std::vector<std::string> shown;   // the class of every window a process made visible
  // Every caption set and window lookup, marked "locked" when made under the single-copy lock.
  std::vector<std::string> windowLog;
  int Opens(const std::string& path) const;
  std::vector<BoxRecord> MessageBoxes() const;
  int OpenBoxes() const;

  bool singleCopyLockHeld = false;
  std::uint32_t nextProcessId = 0x1F4;
  WindowHandle activeWindow = 0;

 private:
  std::int64_t now_ = 0;
  std::int64_t elapsed_ = 0;
  std::int64_t slept_ = 0;
  // Sets a new zone from now on, or changes the one set at this very count.
  void SetZone(Rules rules);
  bool asleep_ = false;
  std::uint64_t order_ = 0;
  std::map<std::string, std::vector<std::pair<std::int64_t, bool>>> notes_;
  std::int64_t deadline_ = kNever;
  bool deadlineSet_ = false;
  struct Zone {
    std::int64_t fromElapsed;
    Rules rules;
  };
  std::vector<Zone> zones_{Zone{INT64_MIN, {}}};
  std::multimap<std::int64_t, std::function<void()>> events_;
  std::map<std::string, std::shared_ptr<SimFile>> files_;
  std::unordered_map<std::string, std::string> keys_;
  std::vector<SimWindow> windows_;
  WindowHandle nextWindow_ = 0x100;
};

// Europe/Berlin's clock changes, 2026 to 2040: summer time from 01:00 UTC on the last Sunday of
// March to 01:00 UTC on the last Sunday of October; UTC+1 before and between.
void SetEuropeBerlinRules(SimWorld& world);

// Date arithmetic for the simulation.
SystemTime CivilFromUtcMs(std::int64_t ms);
std::int64_t UtcMsFromCivil(int year, int month, int day, int hour, int minute, int second, int ms);
FileTime FileTimeFromUtcMs(std::int64_t ms);
std::int64_t UtcMsFromFileTime(FileTime time);

}  // namespace pendulon::sim
