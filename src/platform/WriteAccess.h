#pragma once
// Whether the user could change a file or add files to a folder, asked without changing either:
// all that a tool needs to tell that the executer, running as that user, could not write there.

#include "platform/AnsiString.h"

namespace pendulon {

class WriteAccess {
 public:
  virtual ~WriteAccess() = default;

  enum class Answer {
    kYes,       // or it cannot be told: the entry is not there
    kReadOnly,  // a file marked read-only
    kDenied,    // the user has no right to (as under Program Files)
  };

  // A file: whether it opens to append (CreateFileA for FILE_APPEND_DATA, closed at once,
  // nothing written). A folder: whether files can be added to it (FILE_ADD_FILE).
  virtual Answer MayWrite(const AnsiString& path) = 0;
};

}  // namespace pendulon
