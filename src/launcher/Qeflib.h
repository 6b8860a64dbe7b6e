#pragma once
// TQEFile reads a launch file once and answers "the value of key K in section N".
//
// A section N opens at the first line that begins with "<N>" and closes at the first line that
// begins with "</N>", each searched from the top of the file on its own. Its header is the
// lines between the two, up to the first line that begins with "<MenuItem"; a header line
// holds key=value, split at its first "=". Everything compares bytes exactly.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/AnsiString.h"
#include "platform/ProcessInfo.h"
#include "platform/ReadingHost.h"
#include "platform/StringList.h"

namespace pendulon {

// The launch file's tag lines, as the reader and every tool that indexes the file read them: a
// line that begins with "<name>" opens section name, one that begins with "</name>" closes it,
// and one that begins with "<MenuItem" ends a section's header.
std::string OpeningTag(std::string_view name);
std::string ClosingTag(std::string_view name);
bool IsMenuItemLine(std::string_view line);

class TQEFile {
 public:
  // Loads the file; it never writes. Raises EFOpenError when the file cannot be loaded. The
  // process's code page decides which "=" splits a header line.
  TQEFile(ReadingHost& host, const AnsiString& path);
  TQEFile(const TQEFile&) = delete;
  TQEFile& operator=(const TQEFile&) = delete;

  // The first line at or after start (below 0 counts as 0) that begins with prefix, or -1.
  std::int32_t FindLine(const AnsiString& prefix, std::int32_t start) const;
  // The first opening ("<name>") or closing ("</name>") tag line, or -1. Without an opening tag
  // line the closing one is not searched.
  std::int32_t FindTag(const AnsiString& name, bool opening) const;
  // The last header line of the section: -1 without both tag lines, 0 when there is no line to
  // examine, the line before a "<MenuItem" line, otherwise the line before the closing tag.
  std::int32_t HeaderEnd(const AnsiString& name) const;

  // The first line from first to last whose key, the text before its first "=", is key; -1
  // when there is none.
  std::int32_t FindKey(const AnsiString& key, std::int32_t first, std::int32_t last) const;

  // The value of the first header line whose key is key; empty when there is none.
  AnsiString GetValue(const AnsiString& name, const AnsiString& key) const;
  AnsiString GetPath(const AnsiString& name) const { return GetValue(name, "path"); }
  AnsiString GetDir(const AnsiString& name) const { return GetValue(name, "dir"); }
  AnsiString GetParams(const AnsiString& name) const { return GetValue(name, "params"); }
  AnsiString GetAction(const AnsiString& name) const { return GetValue(name, "action"); }

  const TStringList& Lines() const { return lines_; }

 private:
  // FindLine(tag, 0) for a tag line, looked up rather than searched.
  std::int32_t FirstBeginningWith(const AnsiString& tag) const;

  ProcessInfo& process_;
  TStringList lines_;
  // By the text of each line that begins with "<" up to its first ">": the first such line.
  // Built at the first tag sought, so that a file read once serves many lookups at once.
  mutable std::unordered_map<std::string_view, std::int32_t> tags_;
  mutable bool tagsBuilt_ = false;
};

}  // namespace pendulon
