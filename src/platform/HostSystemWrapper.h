#pragma once
// A host system that hands every call to another one, so that a variant overrides only the calls
// it changes (a rename that fails, a write that is counted).

#include "platform/HostSystem.h"
#include "platform/ReadingHostWrapper.h"

namespace pendulon {

class HostSystemWrapper : public ReadingHostWrapper<HostSystem> {
 public:
  explicit HostSystemWrapper(HostSystem& base) : ReadingHostWrapper(base), base_(base) {}

  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override {
    return base_.OpenFile(path, access, share, disposition);
  }
  bool Write(FileHandle file, const void* buffer, std::uint32_t count,
             std::uint32_t& bytesWritten) override {
    return base_.Write(file, buffer, count, bytesWritten);
  }
  bool RenameOpenFile(FileHandle file, const AnsiString& to) override {
    return base_.RenameOpenFile(file, to);
  }

  std::uint64_t Milliseconds() override { return base_.Milliseconds(); }
  std::uint64_t AwakeMilliseconds() override { return base_.AwakeMilliseconds(); }
  std::int32_t UtcOffsetMinutes() override { return base_.UtcOffsetMinutes(); }
  std::uint32_t ProcessId() override { return base_.ProcessId(); }
  bool ToLocalFileTime(FileTime utc, FileTime& local) override {
    return base_.ToLocalFileTime(utc, local);
  }

 private:
  HostSystem& base_;
};

}  // namespace pendulon
