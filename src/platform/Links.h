#pragma once
// Symbolic links and other entries that stand for a file elsewhere (a junction, a mount point),
// told apart from plain files without following them. Only a tool that must not read through
// them asks: the executer follows them, as Windows does.

#include <optional>

#include "platform/AnsiString.h"

namespace pendulon {

class Links {
 public:
  virtual ~Links() = default;

  // What the entry at path leads to, as the link holds it; empty when that cannot be read. None
  // when path is no link, or not there.
  virtual std::optional<AnsiString> LinkTarget(const AnsiString& path) = 0;
};

}  // namespace pendulon
