#pragma once
// One simulated process on a SimWorld: its command line and executable path, its timers and
// message queue. Implements the platform seam the way Win32 behaves where the program relies on
// it: at most one waiting tick per timer, the quit message ahead of timer messages, boxes that
// deliver ticks while they are open, files shared for reading only, and files that are not
// renamed while a handle without delete sharing is open on them.

#include <deque>
#include <map>
#include <memory>
#include <string>

#include "platform/CheckingHost.h"
#include "platform/Platform.h"
#include "platform/WindowProgram.h"
#include "support/SimWorld.h"

namespace pendulon::sim {

class SimPlatform final : public Platform, public CheckingHost, public WindowProgram {
 public:
  SimPlatform(SimWorld& world, std::string exePath, std::string commandLine);
  ~SimPlatform() override;

  SimWorld& World() { return world_; }
  const std::string& ExePath() const { return exePath_; }

  // Messages another program or the window system sends to this process's windows.
  void PostClose(WindowHandle window);
  void PostEndSession(WindowHandle window);
  // Ticks delivered by the timers first started with that interval, whatever they were re-armed
  // with since: 60000 is the minute timer, 1000 the change watch, 4999 the watchdog.
  int Ticks(std::uint32_t interval) const;
  std::int64_t NextExpiry() const;
  // The interval of a timer now counting on this sink; 0 when it is not counting.
  std::uint32_t TimerInterval(const TimerSink* sink) const;
  int ClockReads() const { return clockReads_; }
  // Modal loops that may run inside each other before the thread's stack runs out.
  static constexpr int kMostNestedModalLoops = 64;
  // Handles this process's messages, as a message loop would, until the clock reaches utc.
  void RunUntil(std::int64_t utc);

  SystemTime LocalTime() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t Milliseconds() override { return static_cast<std::uint64_t>(world_.Elapsed()); }
  std::uint64_t AwakeMilliseconds() override { return static_cast<std::uint64_t>(world_.Awake()); }
  std::int32_t UtcOffsetMinutes() override;
  std::int32_t UtcOffsetMinutesAt(std::int64_t utcSeconds) override;

  FoundFile FindFile(const AnsiString& path) override;
  bool ToLocalFileTime(FileTime utc, FileTime& local) override;
  FileHandle OpenToRead(const AnsiString& path, std::uint32_t share) override {
    return OpenFile(path, kGenericRead, share, kOpenExisting);
  }
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override;
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override;
  bool Write(FileHandle file, const void* buffer, std::uint32_t count,
             std::uint32_t& bytesWritten) override;
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override;
  FileKind KindOf(FileHandle file) override;
  bool SizeOf(FileHandle file, std::uint64_t& size) override;
  void Close(FileHandle file) override;
  bool RenameOpenFile(FileHandle file, const AnsiString& to) override;
  std::optional<AnsiString> LinkTarget(const AnsiString& path) override;
  FileHandle OpenUnfollowed(const AnsiString& path, std::uint32_t share, bool& link) override;
  // A read-only file is marked so; a read-only folder is one the user may not add files to.
  Answer MayWrite(const AnsiString& path) override;
  int OpenFiles() const { return static_cast<int>(files_.size()); }

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  AnsiString CommandLine() override { return commandLine_; }
  bool IsLeadByte(unsigned char byte) override { return world_.leadBytes.count(byte) != 0; }
  std::uint32_t ProcessId() override { return processId_; }

  WindowHandle NewWindow(const AnsiString& className, const AnsiString& caption,
                         const WindowPlacement& placement, WindowClient* client) override;
  void DestroyWindow(WindowHandle window) override;
  void SetCaption(WindowHandle window, const AnsiString& caption) override;
  AnsiString Caption(WindowHandle window) override;
  void SetVisible(WindowHandle window, bool visible) override;
  bool WindowExists(const AnsiString& className, const AnsiString& caption) override;
  // The program of the process that made the window; empty for a window of another program.
  std::optional<AnsiString> ProgramOfWindow(const AnsiString& className,
                                            const AnsiString& caption) override;
  void ShowMessageBox(WindowHandle owner, const AnsiString& text, const AnsiString& caption,
                      std::uint32_t style) override;
  std::vector<WindowHandle> InputWindows() override;
  void EnableInput(WindowHandle window, bool enable) override;
  WindowHandle ActiveWindow() override { return world_.activeWindow; }
  void Activate(WindowHandle window) override;
  std::intptr_t ShellOpen(WindowHandle owner, const AnsiString& verb, const AnsiString& file,
                          const AnsiString& parameters, const AnsiString& directory,
                          int showCommand) override;

  bool StartTimer(WindowHandle owner, TimerSink* sink, std::uint32_t interval) override;
  void StopTimer(WindowHandle owner, TimerSink* sink) override;
  Pumped PumpMessage() override;
  void WaitForMessage() override;
  void PostQuit() override {
    if (world_.quit.at < 0)
      world_.quit = {world_.Now(), world_.Elapsed(), world_.NextOrder()};
    quitPending_ = true;
  }

  std::unique_ptr<ScopedLock> LockSingleCopy() override;

 private:
  // Timers count the monotonic milliseconds (SimWorld::Elapsed), as Windows' count elapsed time
  // and not the clock.
  struct Timer {
    std::uint32_t interval = 0;
    std::int64_t nextExpiry = 0;
    std::int64_t waitingSince = -1;  // a tick waits since this expiry; -1 for none
  };
  struct Posted {
    enum Kind { kClose, kEndSession } kind;
    WindowHandle window;
  };
  struct OpenHandle {
    std::shared_ptr<SimFile> file;
    std::int64_t position = 0;
    bool appends = false;  // opened with FILE_APPEND_DATA only
    std::uint32_t access = 0, share = 0;
    std::string key;
    std::string read;  // what was read through it, for a file whose reads are recorded
    bool readFailed = false;
  };
  // Records a read of a watched file; nothing for the others.
  void RecordRead(const std::string& key, bool ok, std::string bytes);

  FileHandle Open(const std::string& key, const AnsiString& path, std::uint32_t access,
                  std::uint32_t share, std::uint32_t disposition);
  // Marks the timers whose expiry has passed; several expiries make one waiting tick.
  void CollectExpiries();
  // Dispatches one posted message or waiting tick; false when there is none.
  bool DispatchOne();
  // Moves the clock to the next thing that can happen to this process, or to limit (monotonic).
  void WaitUntil(std::int64_t limit);
  // Records a box and opens its window, which becomes the active one; gives its index.
  std::size_t OpenBox(BoxRecord box);
  // A modal loop, as a message box runs one, until the box is answered or a quit arrives; the
  // box's window then goes and activation returns to the owner.
  void RunModal(std::size_t boxIndex, WindowHandle owner, std::int64_t answerAfter);
  std::string ClassOf(WindowHandle window);

  SimWorld& world_;
  std::string exePath_;
  std::string commandLine_;
  std::map<TimerSink*, Timer> timers_;
  struct Counted {
    std::uint32_t firstInterval = 0;
    int ticks = 0;
  };
  std::map<TimerSink*, Counted> ticksBySink_;
  std::deque<Posted> posted_;
  bool quitPending_ = false;
  std::map<FileHandle, OpenHandle> files_;
  FileHandle nextFile_ = 1;
  int clockReads_ = 0;
  int modalDepth_ = 0;
  std::uint32_t processId_;
};

}  // namespace pendulon::sim
