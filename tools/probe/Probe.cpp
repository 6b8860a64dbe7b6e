// Stands in for the launcher family while the executer runs: keeps the family's windows open,
// answers every message box that another process shows, and logs what it saw.
//
//   probe.exe LOG COMMANDS [NAME[:shown]]...
//
// NAME is quillmar, editor, settings (the family) or decoy-class, decoy-caption (near misses);
// those windows are made at start, hidden unless ":shown". COMMANDS is a file the driver appends
// lines to:
//   open NAME [shown]   close NAME   close all   hold   release   quit [CODE]
//   send-close CLASS    end-session CLASS    lock WINDOWS-PATH    unlock WINDOWS-PATH
//   find CLASS CAPTION
// send-close and end-session post WM_CLOSE, or WM_ENDSESSION as at a log-off, to the first
// top-level window of that class, waiting up to 30 s for it to appear. find waits up to 30 s for
// a top-level window of that class and caption (the rest of the line), so that a driver knows a
// program has taken its caption. "lock" holds a file open for writing, as an
// editor still saving it would (readers that share only reading are then refused), until
// "unlock" or the end of the probe.
// Each event becomes a line in LOG (see common/ToolLog.h): ready, opened NAME, closed NAME,
// holding, releasing, box CAPTION TEXT OWNER-CLASS BUTTONS ICON, pressed TEXT, gone TEXT,
// sent MESSAGE CLASS, found CLASS, locked PATH, unlocked PATH, error WHAT, bye CODE.

#include <windows.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/ToolLog.h"
#include "probe/BoxWatcher.h"
#include "probe/CommandFile.h"
#include "probe/FamilyWindows.h"

namespace {

// How often commands and boxes are looked for.
constexpr DWORD kScanMs = 50;

class Probe {
 public:
  explicit Probe(std::string logPath)
      : log_(std::move(logPath)), boxes_([this](const std::vector<std::string>& f) { Log(f); }) {}

  void Log(const std::vector<std::string>& fields) { tools::AppendLine(log_, fields); }

  void Open(const std::string& name, bool shown) {
    if (windows_.Open(name, shown))
      Log({"opened", name});
    else
      Log({"error", "cannot open " + name});
  }

  void Close(const std::string& name) {
    if (windows_.Close(name))
      Log({"closed", name});
    else
      Log({"error", "not open: " + name});
  }

  void CloseAll() {
    for (const std::string& name : windows_.Names()) Close(name);
  }

  void Lock(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      Log({"error", "cannot lock " + path});
      return;
    }
    locks_.emplace(path, file);
    Log({"locked", path});
  }

  void Unlock(const std::string& path) {
    const auto lock = locks_.find(path);
    if (lock == locks_.end()) {
      Log({"error", "not locked: " + path});
      return;
    }
    CloseHandle(lock->second);
    locks_.erase(lock);
    Log({"unlocked", path});
  }

  ~Probe() {
    for (const auto& [path, file] : locks_) CloseHandle(file);
  }

  // The top-level window of that class (and caption, unless null), waiting up to 30 s for it.
  static HWND WaitForWindow(const std::string& className, const char* caption) {
    HWND window = nullptr;
    for (int tries = 0; tries < 300 && window == nullptr; ++tries) {
      window = FindWindowA(className.c_str(), caption);
      if (window == nullptr)
        Sleep(100);
    }
    return window;
  }

  // Posts a message to another program's window, as the window system or another program would.
  void Send(const char* what, const std::string& className, UINT message, WPARAM wParam) {
    const HWND window = WaitForWindow(className, nullptr);
    if (window != nullptr && PostMessageA(window, message, wParam, 0)) {
      Log({"sent", what, className});
    } else {
      Log({"error", std::string("cannot send ") + what + " to " + className});
    }
  }

  // Carries out one command line; returns false on "quit", with its exit code in code.
  bool Execute(const std::string& line, int& code) {
    std::istringstream words(line);
    std::string verb, name, extra;
    words >> verb >> name >> extra;
    if (verb == "open" && !name.empty()) {
      Open(name, extra == "shown");
    } else if (verb == "close" && name == "all") {
      CloseAll();
    } else if (verb == "close" && !name.empty()) {
      Close(name);
    } else if (verb == "send-close" && !name.empty()) {
      Send("close", name, WM_CLOSE, 0);
    } else if (verb == "end-session" && !name.empty()) {
      Send("end-session", name, WM_ENDSESSION, TRUE);
    } else if (verb == "find" && !name.empty()) {
      const std::size_t at = line.find(name, line.find(verb) + verb.size()) + name.size();
      const std::string caption = at < line.size() ? line.substr(at + 1) : std::string();
      Log({WaitForWindow(name, caption.c_str()) != nullptr ? "found" : "error", name});
    } else if (verb == "lock" || verb == "unlock") {
      // The path is the rest of the line: it may hold spaces.
      const std::string path = line.substr(line.find(verb) + verb.size() + 1);
      verb == "lock" ? Lock(path) : Unlock(path);
    } else if (verb == "hold") {
      boxes_.SetHold(true);
      Log({"holding"});
    } else if (verb == "release") {
      boxes_.SetHold(false);
      Log({"releasing"});
    } else if (verb == "quit") {
      code = name.empty() ? 0 : std::atoi(name.c_str());
      return false;
    } else if (!verb.empty()) {
      Log({"error", "unknown command: " + line});
    }
    return true;
  }

  int Run(probe::CommandFile& commands) {
    int code = 0;
    for (;;) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, kScanMs, QS_ALLINPUT);
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      for (const std::string& line : commands.NewLines()) {
        if (!Execute(line, code)) {
          CloseAll();
          Log({"bye", std::to_string(code)});
          return code;
        }
      }
      boxes_.Scan();
    }
  }

 private:
  std::string log_;
  probe::FamilyWindows windows_;
  probe::BoxWatcher boxes_;
  std::map<std::string, HANDLE> locks_;  // files held open for writing, by path
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 3)
    return 2;
  Probe probe(__argv[1]);
  probe::CommandFile commands(__argv[2]);
  for (int i = 3; i < __argc; ++i) {
    std::string name = __argv[i];
    const std::size_t colon = name.find(':');
    const bool shown = colon != std::string::npos && name.substr(colon + 1) == "shown";
    probe.Open(name.substr(0, colon), shown);
  }
  probe.Log({"ready"});
  return probe.Run(commands);
}
