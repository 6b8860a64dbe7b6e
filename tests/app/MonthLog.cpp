#include "app/MonthLog.h"

#include <algorithm>
#include <cstdlib>

#include "support/MonthHistory.h"

namespace pendulon::sim {
namespace {

std::int64_t Number(const std::string& text, std::size_t from, std::size_t count) {
  return std::strtoll(text.substr(from, count).c_str(), nullptr, 10);
}

// "2027-03-09T10:17:00.214+01:00" as UTC milliseconds; -1 for what is not a stamp.
std::int64_t StampUtc(const std::string& stamp) {
  if (stamp.size() != 29 || stamp[10] != 'T' || (stamp[23] != '+' && stamp[23] != '-'))
    return -1;
  const std::int64_t local =
      UtcMsFromCivil(static_cast<int>(Number(stamp, 0, 4)), static_cast<int>(Number(stamp, 5, 2)),
                     static_cast<int>(Number(stamp, 8, 2)), static_cast<int>(Number(stamp, 11, 2)),
                     static_cast<int>(Number(stamp, 14, 2)), static_cast<int>(Number(stamp, 17, 2)),
                     static_cast<int>(Number(stamp, 20, 3)));
  const std::int64_t offset = (Number(stamp, 24, 2) * 60 + Number(stamp, 27, 2)) * kMinute;
  return stamp[23] == '-' ? local + offset : local - offset;
}

// A field as written back to its value: \t \r \n \\ and \xNN.
std::string Unescaped(const std::string& field) {
  std::string value;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      value += field[i];
      continue;
    }
    const char next = field[++i];
    if (next == 'x' && i + 2 < field.size()) {
      value += static_cast<char>(std::strtol(field.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      value += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
  }
  return value;
}

}  // namespace

MonthLog::MonthLog(const SimWorld& world) {
  const std::string key = SimWorld::Key(kMonthLog);
  for (std::size_t w = 0; w < world.processWrites.size(); ++w) {
    const FileWrite& write = world.processWrites[w];
    if (write.key != key)
      continue;
    largest_ = std::max(largest_, write.sizeAfter);
    for (std::size_t from = 0, end; (end = write.bytes.find("\r\n", from)) != std::string::npos;
         from = end + 2) {
      WrittenLine line;
      line.at = write.at;
      line.elapsed = write.elapsed;
      line.sizeAfter = write.sizeAfter;
      line.write = w;
      std::vector<std::string> parts;
      for (std::size_t p = from;;) {
        const std::size_t tab = write.bytes.find('\t', p);
        const std::size_t stop = tab == std::string::npos || tab > end ? end : tab;
        parts.push_back(write.bytes.substr(p, stop - p));
        if (stop == end)
          break;
        p = stop + 1;
      }
      line.stampAt = StampUtc(parts[0]);
      line.event = parts.size() > 1 ? parts[1] : "";
      for (std::size_t i = 2; i < parts.size(); ++i) line.fields.push_back(Unescaped(parts[i]));
      byMoment_[{line.elapsed, line.event}].push_back(lines_.size());
      lines_.push_back(std::move(line));
    }
  }
}

void MonthLog::Match(const std::vector<Expected>& expected,
                     const std::function<bool(std::int64_t)>& down,
                     std::vector<Violation>& violations) {
  for (const Expected& e : expected) {
    WrittenLine* found = nullptr;
    // A moment is told by the monotonic count: a clock set back shows its times again.
    const auto moment = byMoment_.find({e.elapsed, e.event});
    if (moment != byMoment_.end()) {
      for (const std::size_t index : moment->second) {
        WrittenLine& line = lines_[index];
        const bool same = !line.used && std::all_of(e.key.begin(), e.key.end(), [&](const auto& k) {
          return k.first < line.fields.size() && line.fields[k.first] == k.second;
        });
        if (same) {
          found = &line;
          break;
        }
      }
    }
    if (found == nullptr) {
      if (down(e.elapsed))
        excused_.push_back(e.elapsed);
      else
        violations.push_back({e.at, "the log says nothing of " + e.what});
      continue;
    }
    found->used = true;
    if (e.check)
      if (const std::string wrong = e.check(found->fields); !wrong.empty())
        violations.push_back({e.at, "the log's record of " + e.what + " is wrong: " + wrong});
  }
  std::sort(excused_.begin(), excused_.end());
}

void MonthLog::Unmatched(const std::vector<std::string>& events,
                         std::vector<Violation>& violations) const {
  for (const WrittenLine& line : lines_) {
    if (line.used || std::find(events.begin(), events.end(), line.event) == events.end())
      continue;
    std::string shown = line.event;
    for (const std::string& field : line.fields) shown += " | " + field;
    violations.push_back({line.at, "the log tells of what did not happen: " + shown});
  }
}

void MonthLog::LostCounted(std::vector<Violation>& violations) const {
  std::int64_t since = INT64_MIN;
  std::size_t write = SIZE_MAX;
  for (const WrittenLine& line : lines_) {
    if (line.write == write)
      continue;
    write = line.write;
    const std::int64_t counted = line.event == "lost" && !line.fields.empty()
                                     ? std::strtoll(line.fields[0].c_str(), nullptr, 10)
                                     : 0;
    const auto from = std::lower_bound(excused_.begin(), excused_.end(), since);
    const auto to = std::lower_bound(excused_.begin(), excused_.end(), line.elapsed);
    if (to - from > counted)
      violations.push_back({line.at, std::to_string(to - from) + " records went unwritten, and " +
                                         "the next line written counts " + std::to_string(counted) +
                                         " lost"});
    since = line.elapsed;
  }
}

}  // namespace pendulon::sim
