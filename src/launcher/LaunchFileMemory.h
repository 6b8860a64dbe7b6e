#pragma once
// The launch file as the executer last read it, handed out again while the file is as it was:
// in a minute where thousands of lines are due, each launch would otherwise read and scan the
// whole file anew. "As it was" is judged by the file's write mark (last-write time and size), and
// only for a read that began longer after the save than a file system's coarsest time stamp (two
// seconds): a second save of the same size inside one stamp could not be told apart.

#include <cstdint>
#include <memory>

#include "launcher/Qeflib.h"
#include "platform/AnsiString.h"
#include "platform/Files.h"
#include "platform/HostSystem.h"

namespace pendulon {

class LaunchFileMemory {
 public:
  // The launch file at path as it is now: the one read before when its write mark has not moved
  // since a read that began over two seconds after that save, else read anew.
  // The file is opened each time: raises EFOpenError whenever a read of its own would fail. A file
  // handed out stays whole for whoever holds it, whatever is read later.
  std::shared_ptr<const TQEFile> Read(HostSystem& host, const AnsiString& path);

  // Reads made, for those who measure it.
  std::uint64_t Reads() const { return reads_; }

 private:
  AnsiString path_;
  WriteMark mark_;
  std::uint64_t markSeenAt_ = 0;  // host milliseconds when the mark was first seen
  std::shared_ptr<const TQEFile> file_;
  bool trusted_ = false;  // file_ holds the last save of its mark
  std::uint64_t reads_ = 0;
};

}  // namespace pendulon
