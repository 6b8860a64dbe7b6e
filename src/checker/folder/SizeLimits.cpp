#include "checker/folder/SizeLimits.h"

#include <algorithm>
#include <string>

#include "platform/Exceptions.h"
#include "platform/Files.h"

namespace pendulon {
namespace {

[[noreturn]] void TooLarge(const AnsiString& path, const SizeLimit& limit,
                           const std::string& size) {
  throw Exception(path + " is larger than qefcheck checks (" + size + "): " + limit.file +
                  " may have up to " + std::to_string(limit.lines / 1000) + ",000 lines and " +
                  std::to_string(limit.bytes >> 20) + " MiB");
}

}  // namespace

void CheckSize(FileReader& files, const AnsiString& path, const SizeLimit& limit, int lines) {
  if (lines > limit.lines)
    TooLarge(path, limit, std::to_string(lines) + " lines");
  if (lines < 0) {
    const FoundFile found = files.FindFile(path);
    if (found.found && !found.directory && found.size > limit.bytes)
      TooLarge(path, limit, std::to_string(found.size) + " bytes");
  }
}

Exception LinkRefused(const AnsiString& path, const std::optional<AnsiString>& target) {
  return Exception(path + " is a link to " +
                   (!target || target->empty() ? AnsiString("an unknown place") : *target) +
                   ": qefcheck reads nothing through a link, which may lead out of the folder");
}

std::string ReadWithin(CheckingHost& host, const AnsiString& path, const SizeLimit& limit) {
  bool link = false;
  const FileHandle file = host.OpenUnfollowed(path, kShareRead, link);
  if (link)
    throw LinkRefused(path, host.LinkTarget(path));
  if (file == kInvalidFile)
    throw EFOpenError(path);
  const FileCloser closer(host, file);
  // A device or pipe has no length to read, and is never read: only a plain file.
  if (host.KindOf(file) != FileKind::kFile)
    throw EFOpenError(path);
  std::uint64_t size = 0;
  if (!host.SizeOf(file, size))
    throw EFOpenError(path);
  if (size > limit.bytes)
    TooLarge(path, limit, std::to_string(size) + " bytes");
  // The file may grow while it is read: nothing past the limit is read.
  std::string bytes;
  char buffer[65536];
  for (;;) {
    std::uint32_t got = 0;
    const auto want = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(sizeof buffer, limit.bytes + 1 - bytes.size()));
    if (!host.Read(file, buffer, want, got))
      throw EFOpenError(path);
    if (got == 0)
      break;
    bytes.append(buffer, got);
    if (bytes.size() > limit.bytes)
      TooLarge(path, limit, "more than " + std::to_string(limit.bytes) + " bytes");
  }
  return bytes;
}

}  // namespace pendulon
