#include "support/SimPlatform.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/Win32Conventions.h"

namespace pendulon::sim {
namespace {

class SimLock final : public ScopedLock {
 public:
  explicit SimLock(bool& held) : held_(held) { held_ = true; }
  ~SimLock() override { held_ = false; }

 private:
  bool& held_;
};

}  // namespace

SimPlatform::SimPlatform(SimWorld& world, std::string exePath, std::string commandLine)
    : world_(world),
      exePath_(std::move(exePath)),
      commandLine_(std::move(commandLine)),
      processId_(world.nextProcessId++) {}

SimPlatform::~SimPlatform() {
  // A process that ends closes the files it held.
  while (!files_.empty()) Close(files_.begin()->first);
  auto& windows = world_.Windows();
  windows.erase(std::remove_if(windows.begin(), windows.end(),
                               [this](const SimWindow& w) { return w.process == this; }),
                windows.end());
}

void SimPlatform::PostClose(WindowHandle window) {
  posted_.push_back({Posted::kClose, window});
}

void SimPlatform::PostEndSession(WindowHandle window) {
  posted_.push_back({Posted::kEndSession, window});
}

int SimPlatform::Ticks(std::uint32_t interval) const {
  int ticks = 0;
  for (const auto& [sink, counted] : ticksBySink_)
    ticks += counted.firstInterval == interval ? counted.ticks : 0;
  return ticks;
}

std::int64_t SimPlatform::NextExpiry() const {
  std::int64_t next = kNever;
  for (const auto& [sink, timer] : timers_) next = std::min(next, timer.nextExpiry);
  return next;
}

std::uint32_t SimPlatform::TimerInterval(const TimerSink* sink) const {
  const auto found = timers_.find(const_cast<TimerSink*>(sink));
  return found == timers_.end() ? 0 : found->second.interval;
}

void SimPlatform::RunUntil(std::int64_t utc) {
  world_.At(utc, [] {});
  while (world_.Now() < utc && !world_.deadlineReached) {
    if (PumpMessage() == Pumped::kNothing)
      WaitForMessage();
  }
}

SystemTime SimPlatform::LocalTime() {
  ++clockReads_;
  if (world_.msPerClockRead > 0)
    world_.AdvanceBy(world_.msPerClockRead);
  return world_.LocalTime();
}

void SimPlatform::Sleep(std::uint32_t milliseconds) {
  world_.AdvanceBy(milliseconds);
}

std::int32_t SimPlatform::UtcOffsetMinutes() {
  return static_cast<std::int32_t>(world_.OffsetAt(world_.Now()) / kMinute);
}

std::int32_t SimPlatform::UtcOffsetMinutesAt(std::int64_t utcSeconds) {
  return static_cast<std::int32_t>(world_.OffsetAt(utcSeconds * kSecond) / kMinute);
}

FoundFile SimPlatform::FindFile(const AnsiString& path) {
  FoundFile result;
  const SimFile* file = world_.File(path);
  // Like FindFirstFileA, a drive root is not an entry that can be found.
  if (file == nullptr || world_.KeyOf(path).size() <= 3)
    return result;
  result.found = true;
  result.directory = file->directory;
  result.lastWrite = FileTimeFromUtcMs(file->lastWrite);
  result.size = file->directory ? 0 : file->bytes.size();
  return result;
}

std::optional<AnsiString> SimPlatform::LinkTarget(const AnsiString& path) {
  const SimFile* file = world_.File(path);
  if (file == nullptr || file->linkTarget.empty())
    return std::nullopt;
  return file->linkTarget;
}

FileHandle SimPlatform::OpenUnfollowed(const AnsiString& path, std::uint32_t share, bool& link) {
  const SimFile* file = world_.File(path);
  link = file != nullptr && !file->linkTarget.empty();
  return link ? kInvalidFile : OpenToRead(path, share);
}

WriteAccess::Answer SimPlatform::MayWrite(const AnsiString& path) {
  const SimFile* file = world_.File(path);
  if (file == nullptr || !file->readOnly)
    return Answer::kYes;
  return file->directory ? Answer::kDenied : Answer::kReadOnly;
}

bool SimPlatform::ToLocalFileTime(FileTime utc, FileTime& local) {
  // Windows applies the offset in force now, not the one at the file's time.
  local = utc + static_cast<FileTime>(world_.OffsetAt(world_.Now()) * 10000);
  return true;
}

FileHandle SimPlatform::OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                                 std::uint32_t disposition) {
  const std::string key = world_.KeyOf(path);
  world_.opened.push_back(path);
  const FileHandle handle = Open(key, path, access, share, disposition);
  if (handle == kInvalidFile && (access & kGenericRead) != 0)
    RecordRead(key, false, {});
  return handle;
}

FileHandle SimPlatform::Open(const std::string& key, const AnsiString& path, std::uint32_t access,
                             std::uint32_t share, std::uint32_t disposition) {
  SimFile* file = world_.File(path);
  if (file != nullptr && (file->directory || file->heldOpen))
    return kInvalidFile;
  const bool writes = (access & (kGenericWrite | kAppendData)) != 0;
  if (file != nullptr && file->readOnly && writes)
    return kInvalidFile;
  // Another process writing the file leaves it to those who share writing, and, sharing no
  // deleting itself, to none that would rename it.
  if (file != nullptr && file->lockedForWriting &&
      ((share & kShareWrite) == 0 || (access & kDelete) != 0))
    return kInvalidFile;
  // Delete sharing, both ways, as Windows checks it against the handles already open.
  if (file != nullptr && (((access & kDelete) != 0 && file->openWithoutShareDelete > 0) ||
                          ((share & kShareDelete) == 0 && file->openForDelete > 0)))
    return kInvalidFile;
  if (disposition == kOpenExisting) {
    if (file == nullptr)
      return kInvalidFile;
  } else {
    if (disposition == kCreateNew && file != nullptr)
      return kInvalidFile;
    if (file == nullptr && world_.diskFull)
      return kInvalidFile;  // no room for a new file either
    const SimFile* parent = world_.File(SimWorld::ParentOf(key));
    if (parent == nullptr || !parent->directory)
      return kInvalidFile;
    if (disposition != kOpenAlways || file == nullptr)
      world_.WriteFile(path, std::string());
  }
  OpenHandle open;
  open.file = world_.Shared(path);
  open.appends = (access & kAppendData) != 0 && (access & kGenericWrite) == 0;
  open.access = access;
  open.share = share;
  open.key = key;
  ++open.file->openHandles;
  open.file->openWithoutShareDelete += (share & kShareDelete) == 0 ? 1 : 0;
  open.file->openForDelete += (access & kDelete) != 0 ? 1 : 0;
  const FileHandle handle = nextFile_++;
  files_[handle] = std::move(open);
  return handle;
}

bool SimPlatform::Read(FileHandle handle, void* buffer, std::uint32_t count,
                       std::uint32_t& bytesRead) {
  bytesRead = 0;
  const auto open = files_.find(handle);
  if (open == files_.end())
    return false;
  SimFile* file = open->second.file.get();
  if (file->failReads) {
    open->second.readFailed = true;
    return false;
  }
  const auto size = static_cast<std::int64_t>(file->bytes.size());
  const std::int64_t from = std::min(open->second.position, size);
  const std::int64_t n = std::min<std::int64_t>(count, size - from);
  std::memcpy(buffer, file->bytes.data() + from, static_cast<std::size_t>(n));
  if (world_.recordedReads.count(open->second.key) != 0)
    open->second.read.append(file->bytes, static_cast<std::size_t>(from),
                             static_cast<std::size_t>(n));
  open->second.position = from + n;
  bytesRead = static_cast<std::uint32_t>(n);
  return true;
}

bool SimPlatform::Write(FileHandle handle, const void* buffer, std::uint32_t count,
                        std::uint32_t& bytesWritten) {
  bytesWritten = 0;
  const auto open = files_.find(handle);
  if (open == files_.end() || world_.diskFull)
    return false;
  SimFile* file = open->second.file.get();
  std::string& bytes = file->bytes;
  const auto at =
      open->second.appends ? bytes.size() : static_cast<std::size_t>(open->second.position);
  if (bytes.size() < at + count)
    bytes.resize(at + count);
  std::memcpy(bytes.data() + at, buffer, count);
  open->second.position = static_cast<std::int64_t>(at + count);
  file->lastWrite = world_.Now();
  bytesWritten = count;
  if (world_.recordedWrites.count(open->second.key) != 0)
    world_.processWrites.push_back(
        {open->second.key, world_.Now(), world_.Elapsed(), world_.NextOrder(),
         std::string(static_cast<const char*>(buffer), count), bytes.size()});
  return true;
}

std::int64_t SimPlatform::Seek(FileHandle handle, std::int64_t distance, SeekOrigin origin) {
  const auto open = files_.find(handle);
  if (open == files_.end())
    return -1;
  std::int64_t base = 0;
  if (origin == kSeekCurrent)
    base = open->second.position;
  if (origin == kSeekEnd)
    base = static_cast<std::int64_t>(open->second.file->bytes.size());
  if (base + distance < 0)
    return -1;
  open->second.position = base + distance;
  return open->second.position;
}

FileKind SimPlatform::KindOf(FileHandle handle) {
  const auto open = files_.find(handle);
  return open == files_.end() ? FileKind::kOther : open->second.file->kind;
}

bool SimPlatform::SizeOf(FileHandle handle, std::uint64_t& size) {
  const auto open = files_.find(handle);
  if (open == files_.end())
    return false;
  size = open->second.file->bytes.size();
  return true;
}

void SimPlatform::Close(FileHandle handle) {
  const auto open = files_.find(handle);
  if (open == files_.end())
    return;
  SimFile& file = *open->second.file;
  if ((open->second.access & kGenericRead) != 0)
    RecordRead(open->second.key, !open->second.readFailed, std::move(open->second.read));
  --file.openHandles;
  file.openWithoutShareDelete -= (open->second.share & kShareDelete) == 0 ? 1 : 0;
  file.openForDelete -= (open->second.access & kDelete) != 0 ? 1 : 0;
  files_.erase(open);
}

void SimPlatform::RecordRead(const std::string& key, bool ok, std::string bytes) {
  if (world_.recordedReads.count(key) == 0)
    return;
  world_.reads.push_back(
      {key, world_.Now(), world_.Elapsed(), ok, std::move(bytes), world_.NextOrder()});
}

bool SimPlatform::RenameOpenFile(FileHandle handle, const AnsiString& to) {
  const auto open = files_.find(handle);
  if (open == files_.end() || (open->second.access & kDelete) == 0)
    return false;
  return world_.RenameFile(*open->second.file, to);
}

std::uint32_t SimPlatform::ModuleFileName(char* buffer, std::uint32_t size) {
  return CopyModuleFileName(exePath_, buffer, size);
}

WindowHandle SimPlatform::NewWindow(const AnsiString& className, const AnsiString& caption,
                                    const WindowPlacement&, WindowClient* client) {
  return world_.AddWindow(className, caption, this, client);
}

void SimPlatform::DestroyWindow(WindowHandle window) {
  world_.RemoveWindow(window);
}

void SimPlatform::SetCaption(WindowHandle window, const AnsiString& caption) {
  SimWindow* w = world_.Window(window);
  if (w == nullptr)
    return;
  w->caption = caption;
  world_.windowLog.push_back((world_.singleCopyLockHeld ? "locked " : "") + w->className +
                             " caption " + caption);
}

AnsiString SimPlatform::Caption(WindowHandle window) {
  const SimWindow* w = world_.Window(window);
  return w == nullptr ? AnsiString() : w->caption.substr(0, 255);
}

void SimPlatform::SetVisible(WindowHandle window, bool visible) {
  SimWindow* w = world_.Window(window);
  if (w == nullptr)
    return;
  w->visible = visible;
  if (visible)
    world_.shown.push_back(w->className);
}

bool SimPlatform::WindowExists(const AnsiString& className, const AnsiString& caption) {
  world_.windowLog.push_back((world_.singleCopyLockHeld ? "locked " : "") + className + " lookup " +
                             caption);
  return world_.FindWindow(className, caption) != nullptr;
}

std::optional<AnsiString> SimPlatform::ProgramOfWindow(const AnsiString& className,
                                                       const AnsiString& caption) {
  const SimWindow* window = world_.FindWindow(className, caption);
  if (window == nullptr)
    return std::nullopt;
  return window->process == nullptr ? AnsiString() : window->process->ExePath();
}

std::string SimPlatform::ClassOf(WindowHandle window) {
  const SimWindow* w = world_.Window(window);
  return w == nullptr ? std::string() : w->className;
}

void SimPlatform::ShowMessageBox(WindowHandle owner, const AnsiString& text,
                                 const AnsiString& caption, std::uint32_t style) {
  BoxRecord box;
  box.process = this;
  box.ownerClass = ClassOf(owner);
  box.text = text;
  box.caption = caption;
  box.style = style;
  box.openedAt = world_.Now();
  box.openedElapsed = world_.Elapsed();
  const std::size_t index = OpenBox(box);
  RunModal(index, owner, world_.boxAnswer(world_.boxes[index]));
}

std::vector<WindowHandle> SimPlatform::InputWindows() {
  std::vector<WindowHandle> result;
  for (const SimWindow& w : world_.Windows()) {
    if (w.process == this && w.visible && w.enabled)
      result.push_back(w.handle);
  }
  return result;
}

void SimPlatform::EnableInput(WindowHandle window, bool enable) {
  if (SimWindow* w = world_.Window(window))
    w->enabled = enable;
}

void SimPlatform::Activate(WindowHandle window) {
  const SimWindow* w = world_.Window(window);
  if (w != nullptr && w->enabled)
    world_.activeWindow = window;
}

std::intptr_t SimPlatform::ShellOpen(WindowHandle owner, const AnsiString& verb,
                                     const AnsiString& file, const AnsiString& parameters,
                                     const AnsiString& directory, int showCommand) {
  ShellRecord launch{ClassOf(owner), verb,        file,         parameters,
                     directory,      showCommand, world_.Now(), world_.LocalTime()};
  launch.elapsed = world_.Elapsed();
  launch.depth = modalDepth_;
  launch.order = world_.NextOrder();
  const std::size_t index = world_.launches.size();
  world_.launches.push_back(launch);
  // A stall handles no messages: timers that fall due meanwhile wait, at most one tick each.
  launch.stall = world_.shellStall(launch);
  world_.launches[index].stall = launch.stall;
  world_.AdvanceBy(launch.stall);
  const std::int64_t boxFor = world_.shellBox(launch);
  if (boxFor > 0) {
    BoxRecord box;
    box.kind = BoxRecord::kShellBox;
    box.process = this;
    box.ownerClass = launch.ownerClass;
    box.text = file;
    box.openedAt = world_.Now();
    box.openedElapsed = world_.Elapsed();
    RunModal(OpenBox(box), owner, boxFor);
  }
  const std::intptr_t answer = world_.shellAnswer(launch);
  ShellRecord& record = world_.launches[index];
  record.answer = answer;
  record.returnedAt = world_.Now();
  record.returnedElapsed = world_.Elapsed();
  record.returnOrder = world_.NextOrder();
  return answer;
}

std::size_t SimPlatform::OpenBox(BoxRecord box) {
  box.window = world_.AddWindow("#32770", box.caption, this);
  world_.Window(box.window)->visible = true;
  world_.activeWindow = box.window;
  world_.boxes.push_back(box);
  return world_.boxes.size() - 1;
}

void SimPlatform::RunModal(std::size_t boxIndex, WindowHandle owner, std::int64_t answerAfter) {
  // Each modal loop holds its frames on the one thread's stack; on Windows some dozens of boxes
  // inside each other use it up, and the process dies.
  if (modalDepth_ >= kMostNestedModalLoops)
    throw std::runtime_error("stack overflow: too many modal loops inside each other");
  struct Nested {
    int& depth;
    ~Nested() { --depth; }
  } nested{++modalDepth_};
  // The user answers after so much time has passed, whatever the wall clock does meanwhile.
  const std::int64_t closeAt = answerAfter == kNever ? kNever : world_.Elapsed() + answerAfter;
  // A modal loop ends when it takes the quit message, and leaves it for the loop outside.
  while (!quitPending_ && world_.Elapsed() < closeAt) {
    if (!DispatchOne()) {
      WaitUntil(closeAt);
    }
  }
  world_.boxes[boxIndex].closedAt = world_.Now();
  world_.boxes[boxIndex].closedElapsed = world_.Elapsed();
  world_.RemoveWindow(world_.boxes[boxIndex].window);
  world_.activeWindow = owner;
}

bool SimPlatform::StartTimer(WindowHandle, TimerSink* sink, std::uint32_t interval) {
  if (world_.refuseEveryTimer || world_.refusedTimerIntervals.count(interval) != 0) {
    const auto counted = ticksBySink_.find(sink);
    world_.refusedTimers.push_back(
        {counted == ticksBySink_.end() ? 0u : counted->second.firstInterval, world_.Now(),
         world_.Elapsed(), world_.NextOrder()});
    return false;
  }
  Timer& timer = timers_[sink];
  timer.interval = interval;
  if (ticksBySink_.count(sink) == 0)
    ticksBySink_[sink].firstInterval = interval;
  timer.nextExpiry = world_.Elapsed() + std::max<std::int64_t>(1, world_.timerPeriod(interval));
  timer.waitingSince = -1;
  return true;
}

void SimPlatform::StopTimer(WindowHandle, TimerSink* sink) {
  timers_.erase(sink);
}

void SimPlatform::CollectExpiries() {
  for (auto& [sink, timer] : timers_) {
    while (timer.nextExpiry <= world_.Elapsed()) {
      if (timer.waitingSince < 0)
        timer.waitingSince = timer.nextExpiry;
      timer.nextExpiry += std::max<std::int64_t>(1, world_.timerPeriod(timer.interval));
    }
  }
}

bool SimPlatform::DispatchOne() {
  if (!posted_.empty()) {
    const Posted message = posted_.front();
    posted_.pop_front();
    const SimWindow* window = world_.Window(message.window);
    if (window != nullptr && window->client != nullptr) {
      if (message.kind == Posted::kClose) {
        window->client->CloseRequested();
      } else {
        window->client->SessionEnding();
      }
    }
    return true;
  }
  CollectExpiries();
  TimerSink* due = nullptr;
  std::int64_t earliest = kNever;
  for (auto& [sink, timer] : timers_) {
    if (timer.waitingSince >= 0 && timer.waitingSince < earliest) {
      earliest = timer.waitingSince;
      due = sink;
    }
  }
  if (due == nullptr)
    return false;
  Timer& timer = timers_[due];
  Counted& counted = ticksBySink_[due];
  if (world_.recordedTicks.count(counted.firstInterval) != 0)
    world_.ticks.push_back({this, counted.firstInterval, world_.Now(), world_.Elapsed(),
                            timer.waitingSince, modalDepth_, world_.NextOrder()});
  timer.waitingSince = -1;
  ++counted.ticks;
  due->TimerTick();  // may stop or restart any timer, this one included
  return true;
}

Pumped SimPlatform::PumpMessage() {
  // Posted messages first, then the quit message, then timer messages.
  if (!posted_.empty()) {
    DispatchOne();
    return Pumped::kDispatched;
  }
  if (quitPending_) {
    quitPending_ = false;
    return Pumped::kQuit;
  }
  return DispatchOne() ? Pumped::kDispatched : Pumped::kNothing;
}

void SimPlatform::WaitForMessage() {
  if (!posted_.empty() || quitPending_)
    return;
  CollectExpiries();
  for (const auto& [sink, timer] : timers_) {
    if (timer.waitingSince >= 0)
      return;
  }
  WaitUntil(kNever);
}

void SimPlatform::WaitUntil(std::int64_t limit) {
  const std::int64_t deadline = world_.ElapsedAt(world_.Deadline());
  const std::int64_t target =
      std::min({limit, NextExpiry(), world_.ElapsedAt(world_.NextEventTime()), deadline});
  if (target == kNever || target >= deadline) {
    // Nothing can ever happen, or the test's time is up: the process is made to stop.
    if (world_.Deadline() != kNever)
      world_.AdvanceTo(world_.Deadline());
    world_.deadlineReached = true;
    quitPending_ = true;
    return;
  }
  world_.AdvanceElapsedTo(target);
}

std::unique_ptr<ScopedLock> SimPlatform::LockSingleCopy() {
  if (world_.singleCopyLockHeld) {
    throw std::logic_error("the single-copy lock is held across a nested run");
  }
  return std::make_unique<SimLock>(world_.singleCopyLockHeld);
}

}  // namespace pendulon::sim
