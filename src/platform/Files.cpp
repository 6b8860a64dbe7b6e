#include "platform/Files.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Win32Conventions.h"

namespace pendulon {
namespace {

// Reads the whole file; false when the size cannot be learnt or fewer bytes arrive.
bool ReadWhole(FileReader& files, FileHandle file, std::string& bytes) {
  const std::int64_t length = files.Seek(file, 0, kSeekEnd);
  if (length < 0 || length > std::numeric_limits<std::uint32_t>::max() ||
      files.Seek(file, 0, kSeekBegin) != 0) {
    return false;
  }
  bytes.resize(static_cast<std::size_t>(length));
  std::uint32_t got = 0;
  return bytes.empty() ||
         (files.Read(file, bytes.data(), static_cast<std::uint32_t>(bytes.size()), got) &&
          got == bytes.size());
}

// Where the lines of a text lie: the text ends at its first NUL; CR LF, a lone CR and a lone LF
// each end a line.
std::vector<TStringList::Span> LineSpans(std::string_view text) {
  std::vector<TStringList::Span> spans;
  const std::size_t end = std::min(text.find('\0'), text.size());
  spans.reserve(static_cast<std::size_t>(std::count(text.begin(), text.begin() + end, '\n')) + 1);
  std::size_t p = 0;
  std::size_t nextLf = std::min(text.find('\n'), end);
  while (p < end) {
    // The next LF bounds the search for a CR: two fast scans instead of a byte loop, and the LF
    // is found once however many lone CRs come before it.
    if (nextLf < p)
      nextLf = std::min(text.find('\n', p), end);
    const std::size_t lineEnd = std::min(text.substr(0, nextLf).find('\r', p), nextLf);
    spans.push_back(
        TStringList::Span{static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(lineEnd - p)});
    p = lineEnd;
    if (p < end && text[p] == '\r')
      ++p;
    if (p < end && text[p] == '\n')
      ++p;
  }
  return spans;
}

}  // namespace

std::int32_t FileStamp(HostSystem& files, const AnsiString& path) {
  const FoundFile entry = files.FindFile(path);
  if (!entry.found || entry.directory) {
    return -1;
  }
  FileTime local = 0;
  std::uint16_t date = 0, time = 0;
  if (!files.ToLocalFileTime(entry.lastWrite, local) || !DosDateTimeOf(local, date, time)) {
    return -1;
  }
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(date) << 16) | time);
}

WriteMark WriteMarkOf(FileReader& files, const AnsiString& path) {
  const FoundFile entry = files.FindFile(path);
  WriteMark mark;
  if (entry.found && !entry.directory) {
    mark.present = true;
    mark.lastWrite = entry.lastWrite;
    mark.size = entry.size;
  }
  return mark;
}

bool FilePresent(HostSystem& files, const AnsiString& path) {
  return FileStamp(files, path) != -1;
}

void CreateEmptyFile(HostSystem& files, const AnsiString& path) {
  // CREATE_NEW, not CREATE_ALWAYS: a file whose date cannot be stamped still reads as absent,
  // and cutting it to zero bytes would lose the user's launch items.
  const FileHandle file =
      files.OpenFile(path, kGenericRead | kGenericWrite, kShareNone, kCreateNew);
  FileCloser closer(files, file);
}

void LoadLines(FileReader& files, TStringList& list, const AnsiString& path) {
  const FileHandle file = files.OpenToRead(path, kShareRead);
  if (file == kInvalidFile) {
    throw EFOpenError(path);
  }
  FileCloser closer(files, file);
  // A device or pipe has no length to read: /dev/zero would read as an empty, valid file.
  if (files.KindOf(file) != FileKind::kFile) {
    throw EFOpenError(path);
  }
  std::string bytes;
  if (!ReadWhole(files, file, bytes)) {
    // A failed read must not replace good lines with a partial file.
    throw EFOpenError(path);
  }
  // The lines stay where they were read; only their spans are new.
  std::vector<TStringList::Span> spans = LineSpans(bytes);
  TStringList lines;
  lines.Assign(std::move(bytes), std::move(spans));
  list.Swap(lines);
}

void AppendLines(std::string_view text, TStringList& list) {
  for (const TStringList::Span span : LineSpans(text)) {
    list.Add(text.substr(span.begin, span.length));
  }
}

}  // namespace pendulon
