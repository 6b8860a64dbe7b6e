#pragma once
// A host system that hands every call to another one, so that a variant overrides only the calls
// it changes (files opened for reading only, a file served from memory). Interface is the host
// system or a combination that extends it (LaunchSystem), whose further calls the variant
// answers itself.

#include "platform/HostSystem.h"

namespace pendulon {

template <class Interface = HostSystem>
class HostSystemWrapper : public Interface {
 public:
  explicit HostSystemWrapper(HostSystem& base) : base_(base) {}

  FoundFile FindFile(const AnsiString& path) override { return base_.FindFile(path); }
  bool ToLocalFileTime(FileTime utc, FileTime& local) override {
    return base_.ToLocalFileTime(utc, local);
  }
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override {
    return base_.OpenFile(path, access, share, disposition);
  }
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override {
    return base_.Read(file, buffer, count, bytesRead);
  }
  bool Write(FileHandle file, const void* buffer, std::uint32_t count,
             std::uint32_t& bytesWritten) override {
    return base_.Write(file, buffer, count, bytesWritten);
  }
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override {
    return base_.Seek(file, distance, origin);
  }
  FileKind KindOf(FileHandle file) override { return base_.KindOf(file); }
  bool SizeOf(FileHandle file, std::uint64_t& size) override { return base_.SizeOf(file, size); }
  void Close(FileHandle file) override { base_.Close(file); }
  bool RenameOpenFile(FileHandle file, const AnsiString& to) override {
    return base_.RenameOpenFile(file, to);
  }

  SystemTime LocalTime() override { return base_.LocalTime(); }
  void Sleep(std::uint32_t milliseconds) override { base_.Sleep(milliseconds); }
  std::uint64_t Milliseconds() override { return base_.Milliseconds(); }
  std::int32_t UtcOffsetMinutes() override { return base_.UtcOffsetMinutes(); }
  std::int32_t UtcOffsetMinutesAt(std::int64_t utcSeconds) override {
    return base_.UtcOffsetMinutesAt(utcSeconds);
  }

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    return base_.ModuleFileName(buffer, size);
  }
  bool IsLeadByte(unsigned char byte) override { return base_.IsLeadByte(byte); }
  std::uint32_t ProcessId() override { return base_.ProcessId(); }

 private:
  HostSystem& base_;
};

}  // namespace pendulon
