#pragma once
// The executer's view of a task folder without any of its effects: files open for reading only
// (so a missing file is never created), and the shell's requests are recorded instead of carried
// out. One file can be served from memory.

#include <algorithm>
#include <string>
#include <vector>

#include "launcher/LaunchItem.h"
#include "platform/HostSystemWrapper.h"
#include "platform/LaunchSystem.h"

namespace pendulon {

// What the executer hands the shell, and how it asks for the window to be shown.
struct ShellRequest : LaunchRequest {
  int showCommand = 0;
};

class DryRunPlatform final : public HostSystemWrapper<LaunchSystem> {
 public:
  explicit DryRunPlatform(HostSystem& base) : HostSystemWrapper(base) {}

  // Answers the reads of one path from bytes held here, as a file of that write time, until
  // served again: the executer's reader can so be handed the part of a file that it reads.
  void Serve(const AnsiString& path, std::string bytes, FileTime lastWrite) {
    servedPath_ = path;
    served_ = std::move(bytes);
    servedWrite_ = lastWrite;
  }

  FoundFile FindFile(const AnsiString& path) override {
    if (!servedPath_.empty() && path == servedPath_)
      return {true, false, servedWrite_, served_.size()};
    return HostSystemWrapper::FindFile(path);
  }
  // Refuses writing, renaming and every disposition but opening an existing file.
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override {
    if ((access & (kGenericWrite | kAppendData | kDelete)) != 0 || disposition != kOpenExisting)
      return kInvalidFile;
    if (!servedPath_.empty() && path == servedPath_) {
      position_ = 0;
      return kServedFile;
    }
    return HostSystemWrapper::OpenFile(path, access, share, disposition);
  }
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override {
    if (file != kServedFile)
      return HostSystemWrapper::Read(file, buffer, count, bytesRead);
    bytesRead = static_cast<std::uint32_t>(
        served_.copy(static_cast<char*>(buffer), count, std::min(position_, served_.size())));
    position_ += bytesRead;
    return true;
  }
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override {
    if (file != kServedFile)
      return HostSystemWrapper::Seek(file, distance, origin);
    const auto from = static_cast<std::int64_t>(origin == kSeekEnd       ? served_.size()
                                                : origin == kSeekCurrent ? position_
                                                                         : 0);
    if (from + distance < 0)
      return -1;
    position_ = static_cast<std::size_t>(from + distance);
    return from + distance;
  }
  FileKind KindOf(FileHandle file) override {
    return file == kServedFile ? FileKind::kFile : HostSystemWrapper::KindOf(file);
  }
  void Close(FileHandle file) override {
    if (file != kServedFile)
      HostSystemWrapper::Close(file);
  }
  // Nothing is written or renamed: both are refused, as on a medium that is read-only.
  bool Write(FileHandle, const void*, std::uint32_t, std::uint32_t& bytesWritten) override {
    bytesWritten = 0;
    return false;
  }
  bool RenameOpenFile(FileHandle, const AnsiString&) override { return false; }
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
  // No file system hands out this handle: Win32 never, POSIX and the simulation none below 0.
  static constexpr FileHandle kServedFile = -2;

  AnsiString servedPath_;
  std::string served_;
  FileTime servedWrite_ = 0;
  std::size_t position_ = 0;
};

}  // namespace pendulon
