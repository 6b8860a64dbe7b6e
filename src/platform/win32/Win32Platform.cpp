#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Handles.h"

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
// clang-format on

#include <map>
#include <set>

#include "platform/Win32Conventions.h"

namespace pendulon {

// What the window procedure needs: the live timers and the client of each window.
struct Win32Platform::State {
  std::set<AnsiString> registeredClasses;
  std::set<TimerSink*> liveTimers;
  std::map<HWND, WindowClient*> clients;
  bool comInitialised = false;
};

namespace {

Win32Platform::State* g_state = nullptr;  // one platform per process; read by the window procedure

// The Win32 name of the single-copy lock; one per session, like the window lookup it guards.
const char* const kSingleCopyMutex = "Local\\Pendulon.SingleCopy";

FILETIME ToFileTime(FileTime t) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return ft;
}

FileTime FromFileTime(const FILETIME& ft) {
  return (static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

HANDLE ToHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}
HWND ToWindow(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

// Owns the single-copy mutex while it is held.
class MutexLock final : public ScopedLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override {
    if (owned_)
      ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  void SetOwned() { owned_ = true; }

 private:
  HANDLE mutex_;
  bool owned_ = false;
};

// Nothing thrown may cross back into the window system.
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (g_state != nullptr) {
      switch (message) {
        case WM_TIMER: {
          auto* sink = reinterpret_cast<TimerSink*>(wParam);
          if (g_state->liveTimers.count(sink) != 0)
            sink->TimerTick();
          return 0;
        }
        case WM_CLOSE: {
          const auto client = g_state->clients.find(window);
          if (client != g_state->clients.end()) {
            client->second->CloseRequested();
            return 0;
          }
          break;
        }
        case WM_QUERYENDSESSION:
          return TRUE;
        case WM_ENDSESSION: {
          const auto client = g_state->clients.find(window);
          if (wParam && client != g_state->clients.end())
            client->second->SessionEnding();
          return 0;
        }
        default:
          break;
      }
    }
  } catch (...) {
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Win32Platform::Win32Platform() : state_(std::make_unique<State>()) {
  g_state = state_.get();
  // The shell may hand a launch to extensions that need COM on the calling thread.
  state_->comInitialised =
      SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

Win32Platform::~Win32Platform() {
  if (state_->comInitialised)
    CoUninitialize();
  g_state = nullptr;
}

SystemTime Win32Platform::LocalTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  SystemTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.dayOfWeek = st.wDayOfWeek;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.milliseconds = st.wMilliseconds;
  return t;
}

void Win32Platform::Sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

std::uint64_t Win32Platform::Milliseconds() {
  return GetTickCount64();
}

std::uint64_t Win32Platform::AwakeMilliseconds() {
  ULONGLONG hundredNs = 0;
  // Windows 7 and later have it; without it, no sleep can be told from a hold.
  if (!QueryUnbiasedInterruptTime(&hundredNs))
    return GetTickCount64();
  return hundredNs / 10000u;
}

std::int32_t Win32Platform::UtcOffsetMinutes() {
  TIME_ZONE_INFORMATION zone;
  const DWORD kind = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;  // UTC = local + bias
  if (kind == TIME_ZONE_ID_DAYLIGHT)
    bias += zone.DaylightBias;
  else if (kind == TIME_ZONE_ID_STANDARD)
    bias += zone.StandardBias;
  return kind == TIME_ZONE_ID_INVALID ? 0 : -bias;
}

std::int32_t Win32Platform::UtcOffsetMinutesAt(std::int64_t utcSeconds) {
  const FileTime utcTime = FileTimeFromUnix(utcSeconds, 0);
  const FILETIME in = ToFileTime(utcTime);
  SYSTEMTIME utc, local;
  FILETIME out;
  // Outside the years SYSTEMTIME holds, the offset in force now is the best guess.
  if (!FileTimeToSystemTime(&in, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
      !SystemTimeToFileTime(&local, &out))
    return UtcOffsetMinutes();
  const auto ticks = static_cast<std::int64_t>(FromFileTime(out) - utcTime);
  return static_cast<std::int32_t>(ticks / (60 * kFileTimeTicksPerSecond));
}

FoundFile Win32Platform::FindFile(const AnsiString& path) {
  WIN32_FIND_DATAA data;
  const HANDLE find = FindFirstFileA(path.c_str(), &data);
  FindCloser closer(find);
  FoundFile result;
  if (find == INVALID_HANDLE_VALUE) {
    return result;
  }
  result.found = true;
  result.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  result.lastWrite = FromFileTime(data.ftLastWriteTime);
  result.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return result;
}

bool Win32Platform::ToLocalFileTime(FileTime utc, FileTime& local) {
  const FILETIME in = ToFileTime(utc);
  FILETIME out;
  if (!FileTimeToLocalFileTime(&in, &out))
    return false;
  local = FromFileTime(out);
  return true;
}

FileHandle Win32Platform::OpenFile(const AnsiString& path, std::uint32_t access,
                                   std::uint32_t share, std::uint32_t disposition) {
  const HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(file);
}

FileHandle Win32Platform::OpenToRead(const AnsiString& path, std::uint32_t share) {
  return OpenFile(path, GENERIC_READ, share, OPEN_EXISTING);
}

bool Win32Platform::Read(FileHandle file, void* buffer, std::uint32_t count,
                         std::uint32_t& bytesRead) {
  DWORD got = 0;
  const BOOL ok = ReadFile(ToHandle(file), buffer, count, &got, nullptr);
  bytesRead = got;
  return ok != FALSE;
}

bool Win32Platform::Write(FileHandle file, const void* buffer, std::uint32_t count,
                          std::uint32_t& bytesWritten) {
  DWORD put = 0;
  const BOOL ok = WriteFile(ToHandle(file), buffer, count, &put, nullptr);
  bytesWritten = put;
  return ok != FALSE;
}

std::int64_t Win32Platform::Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) {
  LONG high = static_cast<LONG>(distance >> 32);
  SetLastError(NO_ERROR);
  const DWORD low =
      SetFilePointer(ToHandle(file), static_cast<LONG>(distance & 0xFFFFFFFF), &high, origin);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
    return -1;
  return (static_cast<std::int64_t>(high) << 32) | low;
}

void Win32Platform::Close(FileHandle file) {
  CloseHandle(ToHandle(file));
}

std::uint32_t Win32Platform::ModuleFileName(char* buffer, std::uint32_t size) {
  return GetModuleFileNameA(nullptr, buffer, size);
}

AnsiString Win32Platform::CommandLine() {
  return GetCommandLineA();
}

bool Win32Platform::IsLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

std::uint32_t Win32Platform::ProcessId() {
  return GetCurrentProcessId();
}

WindowHandle Win32Platform::NewWindow(const AnsiString& className, const AnsiString& caption,
                                      const WindowPlacement& placement, WindowClient* client) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  if (state_->registeredClasses.count(className) == 0) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className.c_str();
    if (RegisterClassA(&windowClass) == 0)
      return 0;
    state_->registeredClasses.insert(className);
  }
  const HWND window = CreateWindowExA(0, className.c_str(), caption.c_str(), WS_OVERLAPPEDWINDOW,
                                      placement.left, placement.top, placement.width,
                                      placement.height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr)
    return 0;
  if (client != nullptr)
    state_->clients[window] = client;
  return reinterpret_cast<WindowHandle>(window);
}

void Win32Platform::DestroyWindow(WindowHandle window) {
  state_->clients.erase(ToWindow(window));
  ::DestroyWindow(ToWindow(window));
}

void Win32Platform::SetCaption(WindowHandle window, const AnsiString& caption) {
  SetWindowTextA(ToWindow(window), caption.c_str());
}

AnsiString Win32Platform::Caption(WindowHandle window) {
  char text[256] = {};
  const int length = GetWindowTextA(ToWindow(window), text, sizeof text);
  return AnsiString(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void Win32Platform::SetVisible(WindowHandle window, bool visible) {
  ShowWindow(ToWindow(window), visible ? SW_SHOW : SW_HIDE);
}

bool Win32Platform::WindowExists(const AnsiString& className, const AnsiString& caption) {
  return FindWindowA(className.c_str(), caption.c_str()) != nullptr;
}

std::optional<AnsiString> Win32Platform::ProgramOfWindow(const AnsiString& className,
                                                         const AnsiString& caption) {
  const HWND window = FindWindowA(className.c_str(), caption.c_str());
  if (window == nullptr)
    return std::nullopt;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr)
    return AnsiString();
  const HandleCloser closer(process);
  char path[32768];
  DWORD size = sizeof path;
  if (!QueryFullProcessImageNameA(process, 0, path, &size))
    return AnsiString();
  return AnsiString(path, size);
}

void Win32Platform::ShowMessageBox(WindowHandle owner, const AnsiString& text,
                                   const AnsiString& caption, std::uint32_t style) {
  MessageBoxA(ToWindow(owner), text.c_str(), caption.c_str(), style);
}

namespace {

BOOL CALLBACK CollectInputWindow(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window))
    reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(
        reinterpret_cast<WindowHandle>(window));
  return TRUE;
}

}  // namespace

std::vector<WindowHandle> Win32Platform::InputWindows() {
  std::vector<WindowHandle> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectInputWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

void Win32Platform::EnableInput(WindowHandle window, bool enable) {
  EnableWindow(ToWindow(window), enable ? TRUE : FALSE);
}

WindowHandle Win32Platform::ActiveWindow() {
  return reinterpret_cast<WindowHandle>(GetActiveWindow());
}

void Win32Platform::Activate(WindowHandle window) {
  SetActiveWindow(ToWindow(window));
}

std::intptr_t Win32Platform::ShellOpen(WindowHandle owner, const AnsiString& verb,
                                       const AnsiString& file, const AnsiString& parameters,
                                       const AnsiString& directory, int showCommand) {
  const HINSTANCE answer = ShellExecuteA(ToWindow(owner), verb.c_str(), file.c_str(),
                                         parameters.c_str(), directory.c_str(), showCommand);
  return reinterpret_cast<std::intptr_t>(answer);
}

bool Win32Platform::StartTimer(WindowHandle owner, TimerSink* sink, std::uint32_t interval) {
  if (SetTimer(ToWindow(owner), reinterpret_cast<UINT_PTR>(sink), interval, nullptr) == 0) {
    return false;
  }
  state_->liveTimers.insert(sink);
  return true;
}

void Win32Platform::StopTimer(WindowHandle owner, TimerSink* sink) {
  KillTimer(ToWindow(owner), reinterpret_cast<UINT_PTR>(sink));
  state_->liveTimers.erase(sink);
}

Pumped Win32Platform::PumpMessage() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    return Pumped::kNothing;
  }
  if (message.message == WM_QUIT) {
    return Pumped::kQuit;
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return Pumped::kDispatched;
}

void Win32Platform::WaitForMessage() {
  WaitMessage();
}

void Win32Platform::PostQuit() {
  PostQuitMessage(0);
}

std::unique_ptr<ScopedLock> Win32Platform::LockSingleCopy() {
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, kSingleCopyMutex);
  if (mutex == nullptr) {
    return nullptr;  // without the lock the check still runs, as it always could
  }
  auto lock = std::make_unique<MutexLock>(mutex);
  // A copy that died holding the lock leaves it abandoned; the wait then owns it all the same.
  const DWORD waited = WaitForSingleObject(mutex, 10000);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
    lock->SetOwned();
  return lock;
}

}  // namespace pendulon
