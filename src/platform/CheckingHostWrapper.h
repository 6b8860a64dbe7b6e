#pragma once
// A checking host that hands every call to another one, so that a variant (a read counted, say)
// overrides only the calls it changes.

#include "platform/CheckingHost.h"
#include "platform/ReadingHostWrapper.h"

namespace pendulon {

class CheckingHostWrapper : public ReadingHostWrapper<CheckingHost> {
 public:
  explicit CheckingHostWrapper(CheckingHost& base) : ReadingHostWrapper(base), base_(base) {}

  FileHandle OpenUnfollowed(const AnsiString& path, std::uint32_t share, bool& link) override {
    return base_.OpenUnfollowed(path, share, link);
  }
  std::optional<AnsiString> LinkTarget(const AnsiString& path) override {
    return base_.LinkTarget(path);
  }
  Answer MayWrite(const AnsiString& path) override { return base_.MayWrite(path); }

 private:
  CheckingHost& base_;
};

}  // namespace pendulon
