#include "checker/CommandLine.h"

namespace pendulon {

namespace {

constexpr int kMostSpanDays = 31;

// What a user may mean as a span after --next, right or wrong: a number, perhaps with a unit
// ("24", "1w", "7D"). A folder is hardly named so.
bool LooksLikeSpan(const std::string& text) {
  return !text.empty() && text.size() <= 8 && text[0] >= '0' && text[0] <= '9' &&
         text.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") ==
             std::string::npos;
}

// "24h" or "7d" (as Windows users write, "7D" too): hours or days, a number without sign or
// leading zero.
bool IsSpan(const std::string& text) {
  const char unit = static_cast<char>(text.empty() ? 0 : text.back() | 0x20);
  return text.size() >= 2 && text.size() <= 6 && (unit == 'h' || unit == 'd') && text[0] >= '1' &&
         text[0] <= '9' && text.find_first_not_of("0123456789") == text.size() - 1;
}

// Sets the span of --next; says what is wrong with it otherwise.
void TakeSpan(const std::string& span, Command& command) {
  if (!IsSpan(span)) {
    command.wrong = "--next takes a span in hours or days, as 48h or 7d, up to 31d; not " + span;
    return;
  }
  const int count = std::stoi(span.substr(0, span.size() - 1));
  const bool days = (span.back() | 0x20) == 'd';
  if ((days ? count : (count + 23) / 24) > kMostSpanDays) {
    command.wrong = "--next looks ahead at most 31 days (744h or 31d), not " + span;
    return;
  }
  command.spanMinutes = count * (days ? 24 * 60 : 60);
  command.spanWords = std::to_string(count) + (days ? " day" : " hour") + (count == 1 ? "" : "s");
}

}  // namespace

Command ParseCommand(const std::vector<std::string>& arguments) {
  Command command;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
    if (option && argument == "--next") {
      command.mode = Command::Mode::kNext;
      // The span may be left out; what follows is then the folder, unless it looks like a span.
      if (i + 1 < arguments.size() && LooksLikeSpan(arguments[i + 1]))
        TakeSpan(arguments[++i], command);
    } else if (option && argument.rfind("--next=", 0) == 0) {
      command.mode = Command::Mode::kNext;
      TakeSpan(argument.substr(7), command);
    } else if (option && argument == "--") {
      optionsEnded = true;
    } else if (option && argument == "--json") {
      command.json = true;
    } else if ((option && (argument == "--help" || argument == "-h")) ||
               (!optionsEnded && argument == "/?")) {
      command.mode = Command::Mode::kHelp;
    } else if (option && argument == "--version") {
      command.mode = Command::Mode::kVersion;
    } else if (option && argument == "--follow") {
      command.mode = Command::Mode::kFollow;
    } else if (option) {
      command.wrong = "unknown option " + argument;
    } else if (command.folder) {
      command.wrong = "more than one folder: " + *command.folder + " and " + argument;
    } else {
      command.folder = argument;
    }
    if (!command.wrong.empty())
      break;
  }
  if (command.wrong.empty() && command.json && command.mode == Command::Mode::kFollow)
    command.wrong = "--follow writes text only, not --json";
  return command;
}

std::string Usage(char separator) {
  const std::string lib = std::string("folder") + separator + "lib" + separator;
  return "Usage: qefcheck [--json] [folder]\n"
         "       qefcheck --next [span] [--json] [folder]\n"
         "       qefcheck --follow [folder]\n"
         "       qefcheck --version\n"
         "Explains what the task executer will do with " +
         lib + "tasks.qef and\n" + lib + "launch.qef, and, when " + lib +
         "pendulon.log (the run log) is\n"
         "there, what it did. Without a folder: the folder qefcheck lies in.\n"
         "  --json     the report as JSON\n"
         "  --next     every launch of the next span (24h unless given; hours or days, as\n"
         "             48h or 7d, up to 31d), across all lines, in time order\n"
         "  --follow   each new event of the run log in words as it is written, from the\n"
         "             last few on, until Ctrl-C\n"
         "Exit status: 0 every task line fires and launches something, 1 a line has a\n"
         "problem, 2 the files cannot be read, the report cannot be written, or the\n"
         "command line is wrong.\n";
}

}  // namespace pendulon
