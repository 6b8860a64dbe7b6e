#include "app/MonthCheck.h"

#include <algorithm>

#include "app/MonthFacts.h"
#include "app/MonthLog.h"
#include "app/WalkModel.h"

namespace pendulon::sim {
namespace {

constexpr std::size_t kFourMiB = 4 * 1024 * 1024;

// The task line whose walk raised the error the box shows: the last walk to raise its text
// before the box opened (a box ends its text with "." where the error has none); none when no
// walk did.
std::string RaisedAt(const BoxRecord& box, const std::vector<WalkModel::Raise>& raises) {
  for (auto raise = raises.rbegin(); raise != raises.rend(); ++raise)
    if (raise->elapsed <= box.openedElapsed &&
        (box.text == raise->error || box.text == raise->error + "."))
      return std::to_string(raise->line);
  return {};
}

// Every error box the world showed is told as it opens, with the line whose walk raised it, and
// as it closes before the end.
void BoxesAreTold(const SimWorld& world, const std::vector<WalkModel::Raise>& raises,
                  std::vector<Expected>& expected) {
  for (const BoxRecord& box : world.boxes) {
    if (box.kind != BoxRecord::kMessageBox)
      continue;
    expected.push_back({box.openedAt,
                        box.openedElapsed,
                        "box-open",
                        {{0, box.text}, {1, RaisedAt(box, raises)}},
                        {},
                        "the error box \"" + box.text + "\""});
    if (box.closedElapsed >= 0 && (world.quit.at < 0 || box.closedElapsed < world.quit.elapsed))
      expected.push_back({box.closedAt,
                          box.closedElapsed,
                          "box-closed",
                          {{0, box.text}},
                          {},
                          "the closing of the error box \"" + box.text + "\""});
  }
}

// A record is missing with good reason only while the log cannot take it: its disk is full,
// another program holds it, or it has said it stops at 4 MiB while pendulon.log.1 is held.
std::function<bool(std::int64_t)> LogDown(const SimWorld& world, const MonthLog& log) {
  return [&world, &log](std::int64_t elapsed) {
    if (world.WasOn(kDiskFull, elapsed) || world.WasOn(kLogHeld, elapsed))
      return true;
    const auto& lines = log.Lines();
    const auto after =
        std::upper_bound(lines.begin(), lines.end(), elapsed,
                         [](std::int64_t e, const WrittenLine& line) { return e < line.elapsed; });
    return world.WasOn(kOldLogHeld, elapsed) && after != lines.begin() &&
           std::prev(after)->event == "log-stopped";
  };
}

// Every record the model expects is in the log, true in every field, or excused; and the log
// holds no record of a walk, a launch or a load that did not happen.
void EveryRecordIsTrue(const SimWorld& world, const WalkModel& model, MonthLog& log,
                       std::vector<Expected> expected, std::vector<Violation>& found) {
  BoxesAreTold(world, model.Raises(), expected);
  log.Match(expected, LogDown(world, log), found);
  log.Unmatched({"launch", "no-launch", "waiting", "not-examined", "no-walk", "late-walk",
                 "clock-back", "load", "load-failed", "end", "box-open"},
                found);
  log.LostCounted(found);
  for (const WrittenLine& line : log.Lines())
    if (line.stampAt != line.at) {
      found.push_back(
          {line.at, "a " + line.event + " line's stamp is not the time it was written"});
      break;
    }
}

// The log never passes 4 MiB; it stops only within a record of it, while it cannot roll over;
// and nothing follows the end.
void TheLogKeepsItsBounds(const SimWorld& world, const MonthLog& log,
                          std::vector<Violation>& found) {
  if (log.LargestSize() > kFourMiB)
    found.push_back({0, "the log grew to " + std::to_string(log.LargestSize()) + " bytes"});
  std::size_t longest = 0;
  for (const FileWrite& write : world.processWrites)
    longest = std::max(longest, write.bytes.size());
  const auto& lines = log.Lines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const WrittenLine& line = lines[i];
    // Stopped for a record that did not fit, with room kept for this line: the room left is
    // less than a record and the line itself.
    const std::size_t stopWrite = world.processWrites[line.write].bytes.size();
    if (line.event == "log-stopped" && (!world.WasOn(kOldLogHeld, line.elapsed) ||
                                        kFourMiB - line.sizeAfter > longest + stopWrite))
      found.push_back({line.at, "the log stopped at " + std::to_string(line.sizeAfter) +
                                    " bytes, though it could roll over or had room left"});
    if (line.event == "end" && i + 1 < lines.size()) {
      found.push_back({lines[i + 1].at, "the log goes on after the end: " + lines[i + 1].event});
      break;
    }
  }
}

// At most 8 launches wait in the shell at once, and the program never runs out of stack.
void AtMostEightWait(const SimWorld& world, std::vector<Violation>& found) {
  std::vector<std::pair<std::uint64_t, int>> edges;
  for (const ShellRecord& launch : world.launches) {
    edges.emplace_back(launch.order, 1);
    edges.emplace_back(launch.returnOrder == 0 ? UINT64_MAX : launch.returnOrder, -1);
  }
  std::sort(edges.begin(), edges.end());
  int waiting = 0;
  for (const auto& [order, change] : edges) {
    if ((waiting += change) > 8) {
      found.push_back({0, std::to_string(waiting) + " launches waited in the shell at once"});
      break;
    }
  }
  for (const BoxRecord& box : world.boxes)
    if (box.text.find("stack overflow") != std::string::npos) {
      found.push_back({box.openedAt, "the program ran out of stack: " + box.text});
      break;
    }
}

}  // namespace

std::vector<Violation> CheckMonth(const MonthHistory&, const SimWorld& world) {
  std::vector<Violation> found;
  const MonthFacts facts(world);
  MonthLog log(world);
  WalkModel model(world, facts);
  std::vector<Expected> expected = model.Play(found);
  EveryRecordIsTrue(world, model, log, std::move(expected), found);
  TheLogKeepsItsBounds(world, log, found);
  AtMostEightWait(world, found);
  std::stable_sort(found.begin(), found.end(),
                   [](const Violation& a, const Violation& b) { return a.at < b.at; });
  return found;
}

}  // namespace pendulon::sim
