#include "app/MonthFacts.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pendulon::sim {
namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", from);
    lines.push_back(text.substr(from, end - from));
    if (end == std::string::npos)
      break;
    from = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// The folder of a path, as the launch takes it for one with no dir=: up to its last \ or :,
// the \ dropped unless a : or \ comes before it.
std::string FolderOf(const std::string& path) {
  const std::size_t last = path.find_last_of("\\:");
  if (last == std::string::npos)
    return std::string();
  std::size_t keep = last + 1;
  if (last > 0 && path[last] == '\\' && path[last - 1] != '\\' && path[last - 1] != ':')
    keep = last;
  return path.substr(0, keep);
}

}  // namespace

std::string MinuteText(std::int64_t label) {
  const SystemTime t = CivilFromUtcMs(label * kMinute);
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u", unsigned{t.year}, unsigned{t.month},
                unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute});
  return text;
}

std::string OffsetText(std::int64_t minutes) {
  char text[48];
  const long long magnitude = std::llabs(minutes);
  std::snprintf(text, sizeof text, "%c%02lld:%02lld", minutes < 0 ? '-' : '+', magnitude / 60,
                magnitude % 60);
  return text;
}

MonthFacts::MonthFacts(const SimWorld& world) : world_(world) {
  const std::string launchFile = SimWorld::Key("C:\\Tools\\lib\\launch.qef");
  for (const FileWrite& write : world.writes)
    if (write.key == launchFile)
      launchFiles_.push_back(&write);
  for (const ShellRecord& launch : world.launches)
    if (launch.stall > 0)
      stalls_.emplace_back(launch.elapsed, launch.elapsed + launch.stall);
  for (const RefusedTimer& refused : world.refusedTimers)
    if (refused.interval == 60000)
      refusals_.push_back(refused.elapsed);
  std::sort(stalls_.begin(), stalls_.end());
  std::sort(refusals_.begin(), refusals_.end());
}

std::int64_t MonthFacts::OffsetMinutes(std::int64_t at, std::int64_t elapsed) const {
  return world_.OffsetAt(at, elapsed) / kMinute;
}

std::int64_t MonthFacts::Label(std::int64_t at, std::int64_t elapsed) const {
  return FloorDiv(at + world_.OffsetAt(at, elapsed), kMinute);
}

std::int64_t MonthFacts::IntoMinute(std::int64_t at, std::int64_t elapsed) const {
  const std::int64_t local = at + world_.OffsetAt(at, elapsed);
  return local - FloorDiv(local, kMinute) * kMinute;
}

std::int64_t MonthFacts::Stepped(const Span& span) const {
  std::int64_t sum = 0;
  for (const ClockEvent& step : world_.steps)
    if (step.elapsed > span.fromElapsed && step.elapsed <= span.toElapsed)
      sum += step.length;
  return sum;
}

bool MonthFacts::Slept(const Span& span) const {
  return std::any_of(world_.sleeps.begin(), world_.sleeps.end(), [&](const ClockEvent& sleep) {
    return sleep.elapsed >= span.fromElapsed && sleep.elapsed < span.toElapsed;
  });
}

bool MonthFacts::Held(const Span& span) const {
  // Stalls of a second or more that overlap the span.
  for (const auto& [from, to] : stalls_) {
    if (from >= span.toElapsed)
      break;
    if (to > span.fromElapsed && to - from >= kSecond)
      return true;
  }
  return false;
}

bool MonthFacts::Refused(const Span& span) const {
  const auto first = std::lower_bound(refusals_.begin(), refusals_.end(), span.fromElapsed);
  return first != refusals_.end() && *first <= span.toElapsed;
}

std::string MonthFacts::CauseWrong(const std::string& cause, const Span& span, bool back) const {
  // A step back and one forward between two walks each move the ticks, however they sum.
  bool forward = false, backward = false;
  for (const ClockEvent& step : world_.steps)
    if (step.elapsed > span.fromElapsed && step.elapsed <= span.toElapsed) {
      forward = forward || step.length > 0;
      backward = backward || step.length < 0;
    }
  if (StartsWith(cause, "the clock was set back "))
    return backward ? "" : "the clock was not set back";
  const std::string offsetWords = "the clock's UTC offset went from ";
  if (StartsWith(cause, offsetWords)) {
    const std::int64_t from = OffsetMinutes(span.fromAt, span.fromElapsed);
    const std::int64_t to = OffsetMinutes(span.toAt, span.toElapsed);
    const std::string truth = offsetWords + OffsetText(from) + " to " + OffsetText(to);
    if (cause != truth || from == to || (back && to > from))
      return "the offset went from " + OffsetText(from) + " to " + OffsetText(to);
    return "";
  }
  if (back)
    return "that is no way for the clock to go back";
  if (StartsWith(cause, "the computer slept "))
    return Slept(span) ? "" : "the machine did not sleep";
  if (StartsWith(cause, "the clock moved "))
    return forward ? "" : "the clock was not set forward";
  if (StartsWith(cause, "a launch held the program "))
    return Held(span) ? "" : "no launch held the thread";
  if (StartsWith(cause, "the minute timer could not be set"))
    return Refused(span) ? "" : "no timer was refused";
  if (StartsWith(cause, "no timer tick came for ")) {
    const bool late = span.tick != nullptr && span.tick->elapsed - span.tick->dueElapsed >= kSecond;
    return late ? "" : "the timer's tick came when it fell due";
  }
  return "no such cause";
}

std::string MonthFacts::WrongCauses(const std::string& reason, const Span& span, bool back) const {
  if (reason.empty())
    return "it names no cause";
  for (std::size_t from = 0;;) {
    const std::size_t end = reason.find("; ", from);
    const std::string cause = reason.substr(from, end - from);
    if (const std::string wrong = CauseWrong(cause, span, back); !wrong.empty())
      return "\"" + cause + "\" is untrue: " + wrong;
    if (end == std::string::npos)
      return "";
    from = end + 2;
  }
}

LaunchAnswer MonthFacts::LaunchFileSays(std::int64_t elapsed, const std::string& item) const {
  const FileWrite* version = nullptr;
  for (const FileWrite* write : launchFiles_)
    if (write->elapsed <= elapsed)
      version = write;
  const auto known = answers_.find({version, item});
  if (known != answers_.end())
    return known->second;
  return answers_[{version, item}] = Read(version == nullptr ? "" : version->bytes, item);
}

LaunchAnswer MonthFacts::Read(const std::string& contents, const std::string& item) {
  const std::vector<std::string> lines = Lines(contents);
  const auto first = [&](const std::string& prefix) -> std::int64_t {
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (StartsWith(lines[i], prefix))
        return static_cast<std::int64_t>(i);
    return -1;
  };
  const std::int64_t open = item.empty() ? -1 : first("<" + item + ">");
  const std::int64_t close = first("</" + item + ">");
  if (open < 0)
    return {std::nullopt, "the launch file has no section for the item"};
  if (close < 0)
    return {std::nullopt, "is never closed"};
  if (close <= open)
    return {std::nullopt, "comes before the opening tag"};
  // The keys end at the first <MenuItem line; a key is what comes before a line's first =.
  std::optional<std::string> path, verb, parameters, directory;
  bool menuItem = false, pathBelow = false;
  for (std::int64_t i = open + 1; i < close; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i)];
    menuItem = menuItem || StartsWith(line, "<MenuItem");
    const std::size_t equals = line.find('=');
    const std::string key = equals == std::string::npos ? "" : line.substr(0, equals);
    const std::string value = equals == std::string::npos ? line : line.substr(equals + 1);
    if (menuItem) {
      pathBelow = pathBelow || key == "path";
      continue;
    }
    for (auto& [name, slot] : {std::pair{"path", &path}, std::pair{"action", &verb},
                               std::pair{"params", &parameters}, std::pair{"dir", &directory}})
      if (key == name && !*slot)
        *slot = value;
  }
  if (!path || path->empty()) {
    if (path)
      return {std::nullopt, "is empty"};
    return {std::nullopt, pathBelow ? "<MenuItem" : "has no path="};
  }
  Request request{verb.value_or(""), *path, parameters.value_or(""), directory.value_or("")};
  if (request.verb.empty())
    request.verb = "open";
  if (request.directory.empty())
    request.directory = FolderOf(request.file);
  return {request, ""};
}

}  // namespace pendulon::sim
