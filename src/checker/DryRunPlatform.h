#pragma once
// The executer's view of a task folder without any of its effects: files open for reading only
// (so a missing file is never created), the shell's requests are recorded instead of carried
// out, and the executable seems to lie in the checked folder.

#include <vector>

#include "launcher/RunItem.h"
#include "platform/HostSystemWrapper.h"
#include "platform/Shell.h"
#include "platform/Win32Conventions.h"

namespace pendulon {

// What the executer hands the shell, and how it asks for the window to be shown.
struct ShellRequest : LaunchRequest {
  int showCommand = 0;
};

class DryRunPlatform final : public HostSystemWrapper, public Shell {
 public:
  explicit DryRunPlatform(HostSystem& base) : HostSystemWrapper(base) {}

  // The path the executer would read as its own executable's.
  void PlaceExecutable(const AnsiString& exePath) { exePath_ = exePath; }
  // Sends every use of one path to another: the executer joins its paths with "\", which a
  // system that separates with "/" would not find.
  void Alias(const AnsiString& path, const AnsiString& actual) {
    aliasFrom_ = path;
    aliasTo_ = actual;
  }

  FoundFile FindFile(const AnsiString& path) override {
    return HostSystemWrapper::FindFile(Actual(path));
  }
  // Refuses writing, renaming and every disposition but opening an existing file.
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override {
    if ((access & (kGenericWrite | kAppendData | kDelete)) != 0 || disposition != kOpenExisting)
      return kInvalidFile;
    return HostSystemWrapper::OpenFile(Actual(path), access, share, disposition);
  }
  // Nothing is written or renamed: both are refused, as on a medium that is read-only.
  bool Write(FileHandle, const void*, std::uint32_t, std::uint32_t& bytesWritten) override {
    bytesWritten = 0;
    return false;
  }
  bool RenameOpenFile(FileHandle, const AnsiString&) override { return false; }
  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    return CopyModuleFileName(exePath_, buffer, size);
  }
  // Recorded in shellRequests, never carried out; answered as a shell that took the request on
  // would answer.
  std::intptr_t ShellOpen(WindowHandle, const AnsiString& verb, const AnsiString& file,
                          const AnsiString& parameters, const AnsiString& directory,
                          int showCommand) override {
    shellRequests.push_back({{verb, file, parameters, directory}, showCommand});
    return 42;
  }

  std::vector<ShellRequest> shellRequests;

 private:
  const AnsiString& Actual(const AnsiString& path) const {
    return path == aliasFrom_ ? aliasTo_ : path;
  }

  AnsiString exePath_, aliasFrom_, aliasTo_;
};

}  // namespace pendulon
