#include "app/Program.h"

#include <memory>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/RunLogWriter.h"

namespace pendulon {

int RunProgram(Platform& platform) noexcept {
  try {
    RunLogWriter log(platform);
    TApplication application(platform, log);
    std::unique_ptr<TfrmPendulon> form;
    try {
      application.SetTitle(kApplicationTitle);
      form = std::make_unique<TfrmPendulon>(application, platform, log);
      application.SetMainForm(form.get());
      application.Run();
    } catch (...) {
      application.HandleException(std::current_exception());
    }
    application.SetMainForm(nullptr);
    log.End(kEndStop);
  } catch (...) {
    // Not even the application object could be made; there is no window to report in.
  }
  return 0;
}

}  // namespace pendulon
