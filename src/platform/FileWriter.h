#pragma once
// What writing adds to reading files: open with any access and disposition (so create), write,
// and rename an open file. Only the executer writes; the handles it opens here are read,
// measured and closed through the FileReader beside this in its host.

#include <cstdint>

#include "platform/FileReader.h"

namespace pendulon {

class FileWriter {
 public:
  virtual ~FileWriter() = default;

  // CreateFileA with FILE_ATTRIBUTE_NORMAL; kInvalidFile on failure.
  virtual FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition) = 0;
  virtual bool Write(FileHandle file, const void* buffer, std::uint32_t count,
                     std::uint32_t& bytesWritten) = 0;  // WriteFile
  // SetFileInformationByHandle with FileRenameInfo: renames the very file the handle reaches,
  // whatever its name is by now, replacing an older file of the new name. The handle must have
  // been opened with kDelete; a file that is open elsewhere without kShareDelete is not renamed.
  virtual bool RenameOpenFile(FileHandle file, const AnsiString& to) = 0;
};

}  // namespace pendulon
