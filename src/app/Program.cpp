#include "app/Program.h"

#include <memory>

#include "app/Application.h"
#include "app/Main.h"

namespace pendulon {

int RunProgram(Platform& platform) noexcept {
  try {
    TApplication application(platform);
    std::unique_ptr<TfrmPendulon> form;
    try {
      application.SetTitle(kApplicationTitle);
      form = std::make_unique<TfrmPendulon>(application, platform);
      application.SetMainForm(form.get());
      application.Run();
    } catch (...) {
      application.HandleException(std::current_exception());
    }
    application.SetMainForm(nullptr);
  } catch (...) {
    // Not even the application object could be made; there is no window to report in.
  }
  return 0;
}

}  // namespace pendulon
