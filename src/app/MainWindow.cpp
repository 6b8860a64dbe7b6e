#include "app/MainWindow.h"

#include "launcher/LaunchItem.h"
#include "platform/Clock.h"
#include "platform/Exceptions.h"
#include "platform/MainWindowIdentity.h"
#include "platform/Process.h"

namespace pendulon {

const char* const kMainCaption = kMainWindowCaption;
const char* const kApplicationTitle = "Vostrelin Quillmar 2.5 Task Executer";
const char* const kRefusalText =
    "This program is used internally by Vostrelin Quillmar \nand should not be run directly!";

namespace {

struct WatchedWindow {
  const char* className;
  const char* caption;
};

// The family's windows, looked up in this order.
const WatchedWindow kFamily[] = {
    {"TfrmQuillmar", "Quillmar v.2.5 Final Release"},
    {"TfrmMenuEditor", "Quillmar Menu Editor v.4.02"},
    {"TfrmQuillmarSettings", "Vostrelin Quillmar 2.5 Settings"},
};

}  // namespace

TfrmPendulon::Window::Window(WindowSystem& w, WindowClient* client)
    : windows(w),
      handle(w.NewWindow(kMainWindowClass, "", WindowPlacement{580, 211, 191, 146}, client)) {
  if (handle == 0) {
    throw Exception("Error creating window");
  }
}

TfrmPendulon::Window::~Window() {
  windows.DestroyWindow(handle);
}

TfrmPendulon::TfrmPendulon(TApplication& application, Platform& platform, RunLogWriter& log)
    : application_(application),
      platform_(platform),
      log_(log),
      window_(platform, this),
      handle_(window_.handle),
      scheduler_(
          platform, platform, handle_,
          [this](const AnsiString& name, int lineNumber, const SystemTime& minute) {
            RunItem(name, lineNumber, minute);
          },
          // The box's record names the line whose walk raised the error.
          [this](std::exception_ptr e) {
            application_.HandleException(e, scheduler_.LineThatRaised(e));
          }),
      exitTimer_(platform, handle_,
                 [&application](std::exception_ptr e) { application.HandleException(e); }) {
  exitTimer_.SetInterval(4999);
  exitTimer_.SetOnTimer([this] { ExitTimerTimer(); });
  scheduler_.SetLoadObserver(&log_);
  scheduler_.SetWalkObserver(&log_);

  {
    // The window exists but has no caption yet, so the lookup never finds this copy; the lock
    // keeps two copies from both looking before either has taken the caption.
    const std::unique_ptr<ScopedLock> lock = platform_.LockSingleCopy();
    if (platform_.WindowExists(kMainWindowClass, kMainCaption)) {
      application_.RequestStop();
    }
    platform_.SetCaption(handle_, kMainCaption);
  }

  try {
    FormCreate();
  } catch (...) {
    application_.HandleException(std::current_exception());
  }
}

TfrmPendulon::~TfrmPendulon() = default;

void TfrmPendulon::FormCreate() {
  const bool accepted = FirstArgument(platform_, platform_.CommandLine()) == "-w quillmar";
  log_.Start(accepted);
  if (!accepted) {
    platform_.ShowMessageBox(handle_, kRefusalText, "Pendulon", kMbIconError);
    application_.RequestStop();
    return;
  }
  application_.SetShowMainForm(false);
  scheduler_.StartScheduler();
}

void TfrmPendulon::FormClose() {
  scheduler_.FreeTaskList();
}

void TfrmPendulon::ExitTimerTimer() {
  if (ClockText(platform_, "s") == "0") {
    return;
  }
  bool anyLeft = false;
  for (const WatchedWindow& watched : kFamily) {
    // Every lookup is made, whatever the earlier ones found.
    anyLeft = platform_.WindowExists(watched.className, watched.caption) || anyLeft;
  }
  if (!anyLeft) {
    CloseFor(kEndFamilyGone);
  }
}

void TfrmPendulon::RunItem(const AnsiString& itemName, int lineNumber, const SystemTime& minute) {
  LaunchRecord record(log_, lineNumber, minute);
  LaunchItem(platform_, handle_, LaunchFilePath(platform_), itemName, record, &launchFile_);
}

void TfrmPendulon::Close() {
  CloseFor(kEndCloseRequest);
}

void TfrmPendulon::CloseFor(const char* reason) {
  FormClose();
  if (application_.MainForm() == this) {
    // Nothing is told after the end: walks still waiting in the shell end before it.
    scheduler_.Stop("Pendulon ended");
    log_.End(reason);
    application_.RequestStop();
  } else {
    platform_.SetVisible(handle_, false);
  }
}

void TfrmPendulon::SessionEnding() {
  scheduler_.Stop("Pendulon ended");
}

void TfrmPendulon::Show() {
  platform_.SetVisible(handle_, true);
}

void TfrmPendulon::CloseRequested() {
  try {
    Close();
  } catch (...) {
    application_.HandleException(std::current_exception());
  }
}

}  // namespace pendulon
