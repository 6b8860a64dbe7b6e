#include "launcher/RunItem.h"

#include <optional>

#include "launcher/Qeflib.h"
#include "platform/Process.h"
#include "platform/Text.h"

namespace pendulon {
namespace {

struct LaunchRequest {
  AnsiString verb, file, parameters, directory;
};

// Reads the request with a reader of its own that is gone before the shell is asked: the shell
// may show a box during which further ticks launch again.
std::optional<LaunchRequest> ReadRequest(FileSystem& files, ProcessInfo& process,
                                         const AnsiString& itemName) {
  const TQEFile reader(files, process, LaunchFilePath(process));
  LaunchRequest request;
  request.file = reader.GetPath(itemName);
  if (request.file.empty()) {
    return std::nullopt;
  }
  request.verb = reader.GetAction(itemName);
  request.parameters = reader.GetParams(itemName);
  request.directory = reader.GetDir(itemName);
  return request;
}

}  // namespace

AnsiString LaunchFilePath(ProcessInfo& process) {
  return ExeDirectory(process) + "\\lib\\launch.qef";
}

void RunItem(FileSystem& files, ProcessInfo& process, Shell& shell, WindowHandle owner,
             const AnsiString& itemName) {
  std::optional<LaunchRequest> request = ReadRequest(files, process, itemName);
  if (!request) {
    return;
  }
  if (request->verb.empty()) {
    request->verb = "open";
  }
  if (request->directory.empty()) {
    request->directory = DirectoryOf(process, request->file);
  }
  shell.ShellOpen(owner, request->verb, request->file, request->parameters, request->directory,
                  kSwRestore);
}

}  // namespace pendulon
