#include "checker/DryRunPlatform.h"

#include "platform/Win32Conventions.h"

namespace pendulon {

const AnsiString& DryRunPlatform::Actual(const AnsiString& path) const {
  const auto alias = aliases_.find(path);
  return alias == aliases_.end() ? path : alias->second;
}

FoundFile DryRunPlatform::FindFile(const AnsiString& path) {
  return HostSystemWrapper::FindFile(Actual(path));
}

FileHandle DryRunPlatform::OpenFile(const AnsiString& path, std::uint32_t access,
                                    std::uint32_t share, std::uint32_t disposition) {
  if ((access & (kGenericWrite | kAppendData)) != 0 || disposition != kOpenExisting) {
    return kInvalidFile;
  }
  return HostSystemWrapper::OpenFile(Actual(path), access, share, disposition);
}

bool DryRunPlatform::Write(FileHandle, const void*, std::uint32_t, std::uint32_t& bytesWritten) {
  bytesWritten = 0;
  return false;
}

bool DryRunPlatform::Rename(const AnsiString&, const AnsiString&) {
  return false;
}

std::uint32_t DryRunPlatform::ModuleFileName(char* buffer, std::uint32_t size) {
  return CopyModuleFileName(exePath_, buffer, size);
}

std::intptr_t DryRunPlatform::ShellOpen(WindowHandle, const AnsiString& verb,
                                        const AnsiString& file, const AnsiString& parameters,
                                        const AnsiString& directory, int showCommand) {
  shellRequests_.push_back({verb, file, parameters, directory, showCommand});
  return 42;
}

}  // namespace pendulon
