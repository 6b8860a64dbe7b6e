#pragma once
// A reading host that hands every call to another one, so that a variant overrides only the calls
// it changes (a file served from memory, reads counted). Interface is the reading host or a host
// that extends it (HostSystem), whose further calls the variant answers itself.

#include "platform/ReadingHost.h"

namespace pendulon {

template <class Interface = ReadingHost>
class ReadingHostWrapper : public Interface {
 public:
  explicit ReadingHostWrapper(ReadingHost& base) : base_(base) {}

  FoundFile FindFile(const AnsiString& path) override { return base_.FindFile(path); }
  FileHandle OpenToRead(const AnsiString& path, std::uint32_t share) override {
    return base_.OpenToRead(path, share);
  }
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override {
    return base_.Read(file, buffer, count, bytesRead);
  }
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override {
    return base_.Seek(file, distance, origin);
  }
  FileKind KindOf(FileHandle file) override { return base_.KindOf(file); }
  bool SizeOf(FileHandle file, std::uint64_t& size) override { return base_.SizeOf(file, size); }
  void Close(FileHandle file) override { base_.Close(file); }

  SystemTime LocalTime() override { return base_.LocalTime(); }
  void Sleep(std::uint32_t milliseconds) override { base_.Sleep(milliseconds); }
  std::int32_t UtcOffsetMinutesAt(std::int64_t utcSeconds) override {
    return base_.UtcOffsetMinutesAt(utcSeconds);
  }

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    return base_.ModuleFileName(buffer, size);
  }
  bool IsLeadByte(unsigned char byte) override { return base_.IsLeadByte(byte); }

 private:
  ReadingHost& base_;
};

}  // namespace pendulon
