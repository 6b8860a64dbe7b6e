#include "checker/folder/SizeLimits.h"

#include <string>

#include "platform/Exceptions.h"

namespace pendulon {

void CheckSize(FileReader& files, const AnsiString& path, const SizeLimit& limit, int lines) {
  std::string size;
  if (lines > limit.lines) {
    size = std::to_string(lines) + " lines";
  } else if (lines < 0) {
    const FoundFile found = files.FindFile(path);
    if (found.found && !found.directory && found.size > limit.bytes)
      size = std::to_string(found.size) + " bytes";
  }
  if (size.empty())
    return;
  throw Exception(path + " is larger than qefcheck checks (" + size + "): " + limit.file +
                  " may have up to " + std::to_string(limit.lines / 1000) + ",000 lines and " +
                  std::to_string(limit.bytes >> 20) + " MiB");
}

}  // namespace pendulon
