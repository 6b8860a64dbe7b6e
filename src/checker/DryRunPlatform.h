#pragma once
// The executer's view of a task folder without any of its effects: files open for reading only
// (so a missing file is never created), the shell's requests are recorded instead of carried
// out, no window, box or timer reaches the system, and the executable seems to lie in the
// checked folder.

#include <map>
#include <vector>

#include "checker/ForwardingPlatform.h"

namespace pendulon {

struct ShellRequest {
  AnsiString verb, file, parameters, directory;
  int showCommand = 0;
};

class DryRunPlatform final : public ForwardingPlatform {
 public:
  explicit DryRunPlatform(Platform& base) : ForwardingPlatform(base) {}

  // The path the executer would read as its own executable's.
  void PlaceExecutable(const AnsiString& exePath) { exePath_ = exePath; }
  // Sends every use of one path to another: the executer joins its paths with "\", which a
  // system that separates with "/" would not find.
  void Alias(const AnsiString& path, const AnsiString& actual) { aliases_[path] = actual; }

  const std::vector<ShellRequest>& ShellRequests() const { return shellRequests_; }
  void ClearShellRequests() { shellRequests_.clear(); }

  FoundFile FindFile(const AnsiString& path) override;
  // Refuses writing and every disposition but opening an existing file.
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override;
  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;

  WindowHandle NewWindow(const AnsiString&, const AnsiString&, const WindowPlacement&,
                         WindowClient*) override {
    return 0;
  }
  void DestroyWindow(WindowHandle) override {}
  void SetCaption(WindowHandle, const AnsiString&) override {}
  void SetVisible(WindowHandle, bool) override {}
  void ShowMessageBox(WindowHandle, const AnsiString&, const AnsiString&, std::uint32_t) override {}
  void ShellOpen(WindowHandle owner, const AnsiString& verb, const AnsiString& file,
                 const AnsiString& parameters, const AnsiString& directory,
                 int showCommand) override;
  bool StartTimer(WindowHandle, TimerSink*, std::uint32_t) override { return false; }
  void StopTimer(WindowHandle, TimerSink*) override {}
  Pumped PumpMessage() override { return Pumped::kQuit; }
  void WaitForMessage() override {}
  void PostQuit() override {}
  std::unique_ptr<ScopedLock> LockSingleCopy() override { return nullptr; }

 private:
  const AnsiString& Actual(const AnsiString& path) const;

  AnsiString exePath_;
  std::map<AnsiString, AnsiString> aliases_;
  std::vector<ShellRequest> shellRequests_;
};

}  // namespace pendulon
