#include "checker/log/LogWriting.h"

#include "runlog/RunLogWords.h"

namespace pendulon {

std::string WhyLogNotWritten(WriteAccess& access, const AnsiString& log, const AnsiString& lib) {
  switch (access.MayWrite(log)) {
    case WriteAccess::Answer::kReadOnly:
      return "Pendulon cannot write it: the file is read-only; clear its read-only mark "
             "(Properties, untick Read-only)";
    case WriteAccess::Answer::kDenied:
      return "Pendulon cannot write it: your user may not change it (as under Program Files); "
             "give your user the right to modify the lib folder, or keep Quillmar outside Program "
             "Files";
    case WriteAccess::Answer::kYes:
      break;
  }
  if (access.MayWrite(lib) != WriteAccess::Answer::kYes)
    return "Pendulon cannot roll it over at " + std::to_string(kRunLogRollOver / (1024 * 1024)) +
           " MiB: your user may not add files to the lib folder (as under Program Files); give "
           "your user the right to modify the lib folder";
  return {};
}

}  // namespace pendulon
