#include "checker/Checker.h"

#include <exception>

#include "Version.h"
#include "checker/FolderCheck.h"
#include "checker/JsonReport.h"
#include "checker/Options.h"
#include "checker/TextReport.h"
#include "platform/Exceptions.h"

namespace pendulon {

int RunChecker(HostSystem& platform, const std::vector<std::string>& arguments, char separator,
               std::ostream& out, std::ostream& err) {
  const CheckerOptions options = ParseOptions(arguments);
  if (options.action == CheckerOptions::Action::kHelp) {
    out << UsageText();
    return kAllLaunch;
  }
  if (options.action == CheckerOptions::Action::kVersion) {
    out << "qefcheck " << kVersion << "\n";
    return kAllLaunch;
  }
  if (options.action == CheckerOptions::Action::kWrongUsage) {
    err << "qefcheck: " << Visible(options.complaint) << "\n" << UsageText();
    return kCannotRead;
  }
  AnsiString folder;
  try {
    folder = options.folder ? *options.folder : OwnFolder(platform, separator);
    const FolderCheck check = CheckFolder(platform, folder, separator);
    if (options.json)
      WriteJsonReport(out, check);
    else
      WriteTextReport(out, check);
    return check.ExitStatus();
  } catch (...) {
    // A file that cannot be read, or no memory for it: either way the folder is not checked.
    const std::string message = ErrorText(std::current_exception());
    if (options.json)
      WriteJsonFailure(out, folder, message);
    err << "qefcheck: " << Visible(message) << "\n";
    return kCannotRead;
  }
}

}  // namespace pendulon
