#pragma once
// The executer's view of a task folder without any of its effects: files open for reading only
// (so a missing file is never created), the shell's requests are recorded instead of carried
// out, and the executable seems to lie in the checked folder.

#include <map>
#include <vector>

#include "platform/HostSystemWrapper.h"
#include "platform/Shell.h"

namespace pendulon {

struct ShellRequest {
  AnsiString verb, file, parameters, directory;
  int showCommand = 0;
};

class DryRunPlatform final : public HostSystemWrapper, public Shell {
 public:
  explicit DryRunPlatform(HostSystem& base) : HostSystemWrapper(base) {}

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
  // Nothing is written or renamed: both are refused, as on a medium that is read-only.
  bool Write(FileHandle file, const void* buffer, std::uint32_t count,
             std::uint32_t& bytesWritten) override;
  bool Rename(const AnsiString& from, const AnsiString& to) override;
  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;

  // Recorded, never carried out; answered as a shell that took the request on would answer.
  std::intptr_t ShellOpen(WindowHandle owner, const AnsiString& verb, const AnsiString& file,
                          const AnsiString& parameters, const AnsiString& directory,
                          int showCommand) override;

 private:
  const AnsiString& Actual(const AnsiString& path) const;

  AnsiString exePath_;
  std::map<AnsiString, AnsiString> aliases_;
  std::vector<ShellRequest> shellRequests_;
};

}  // namespace pendulon
