#pragma once
// Symbolic links and other entries that stand for a file elsewhere (a junction, a mount point),
// told apart from plain files without following them. Only a tool that must not read through
// them asks: the executer follows them, as Windows does.

#include <optional>

#include <cstdint>

#include "platform/AnsiString.h"
#include "platform/FileReader.h"

namespace pendulon {

class Links {
 public:
  virtual ~Links() = default;

  // What the entry at path leads to, as the link holds it; empty when that cannot be read. None
  // when path is no link, or not there.
  virtual std::optional<AnsiString> LinkTarget(const AnsiString& path) = 0;

  // Opens the file at path to read, sharing as asked, without following a link there, without
  // waiting for a pipe's writer and without taking a terminal as its own, so that what is
  // checked afterwards on the handle is what is read. kInvalidFile when it cannot be opened or
  // is a folder; a link is never opened, and sets `link`.
  virtual FileHandle OpenUnfollowed(const AnsiString& path, std::uint32_t share, bool& link) = 0;
};

}  // namespace pendulon
