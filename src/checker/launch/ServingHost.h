#pragma once
// A reading host that can serve one file from memory: the executer's reader can so be handed
// the part of a launch file that decides one item, and read it as it would read the whole. Every
// call that takes a handle answers the served one itself; none reaches the system with it.

#include <algorithm>
#include <string>

#include "platform/ReadingHostWrapper.h"

namespace pendulon {

class ServingHost final : public ReadingHostWrapper<> {
 public:
  explicit ServingHost(ReadingHost& base) : ReadingHostWrapper(base) {}

  // Answers the reads of one path from bytes held here, as a file of that write time, until
  // served again.
  void Serve(const AnsiString& path, std::string bytes, FileTime lastWrite) {
    servedPath_ = path;
    served_ = std::move(bytes);
    servedWrite_ = lastWrite;
  }

  FoundFile FindFile(const AnsiString& path) override {
    if (!servedPath_.empty() && path == servedPath_)
      return {true, false, servedWrite_, served_.size()};
    return ReadingHostWrapper::FindFile(path);
  }
  FileHandle OpenToRead(const AnsiString& path, std::uint32_t share) override {
    if (!servedPath_.empty() && path == servedPath_) {
      position_ = 0;
      return kServedFile;
    }
    return ReadingHostWrapper::OpenToRead(path, share);
  }
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override {
    if (file != kServedFile)
      return ReadingHostWrapper::Read(file, buffer, count, bytesRead);
    bytesRead = static_cast<std::uint32_t>(
        served_.copy(static_cast<char*>(buffer), count, std::min(position_, served_.size())));
    position_ += bytesRead;
    return true;
  }
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override {
    if (file != kServedFile)
      return ReadingHostWrapper::Seek(file, distance, origin);
    const auto from = static_cast<std::int64_t>(origin == kSeekEnd       ? served_.size()
                                                : origin == kSeekCurrent ? position_
                                                                         : 0);
    if (from + distance < 0)
      return -1;
    position_ = static_cast<std::size_t>(from + distance);
    return from + distance;
  }
  FileKind KindOf(FileHandle file) override {
    return file == kServedFile ? FileKind::kFile : ReadingHostWrapper::KindOf(file);
  }
  bool SizeOf(FileHandle file, std::uint64_t& size) override {
    if (file != kServedFile)
      return ReadingHostWrapper::SizeOf(file, size);
    size = served_.size();
    return true;
  }
  void Close(FileHandle file) override {
    if (file != kServedFile)
      ReadingHostWrapper::Close(file);
  }

 private:
  // No file system hands out this handle: Win32 never, POSIX and the simulation none below 0.
  static constexpr FileHandle kServedFile = -2;

  AnsiString servedPath_;
  std::string served_;
  FileTime servedWrite_ = 0;
  std::size_t position_ = 0;
};

}  // namespace pendulon
