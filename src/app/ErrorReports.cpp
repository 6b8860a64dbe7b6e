#include "app/ErrorReports.h"

#include "app/DisabledWindows.h"
#include "app/RunLogWriter.h"

namespace pendulon {
namespace {

// Keeps a text among the open reports for as long as its box is open, on every path out.
class OpenReport {
 public:
  OpenReport(std::multiset<AnsiString>& open, const AnsiString& text)
      : open_(open), entry_(open.insert(text)) {}
  ~OpenReport() { open_.erase(entry_); }
  OpenReport(const OpenReport&) = delete;
  OpenReport& operator=(const OpenReport&) = delete;

 private:
  std::multiset<AnsiString>& open_;
  std::multiset<AnsiString>::iterator entry_;
};

}  // namespace

AnsiString ReportText(const AnsiString& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    return message + ".";
  }
  return message;
}

void ErrorReports::ReportError(WindowHandle owner, const AnsiString& title,
                               const AnsiString& message, int line) {
  const AnsiString text = ReportText(message);
  if (open_.count(text) != 0) {
    return;
  }
  OpenReport open(open_, text);
  const AnsiString openedAt = log_ != nullptr ? log_->BoxOpened(text, line) : AnsiString();
  {
    DisabledWindows others(windows_);
    windows_.ShowMessageBox(owner, text, title, kMbIconError);
  }
  if (log_ != nullptr)
    log_->BoxClosed(text, openedAt);
}

}  // namespace pendulon
