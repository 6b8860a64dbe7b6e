#pragma once
// The checker's own model of the minute walks, played over what the world saw happen, in the
// world's order: each tick of the minute timer, each launch as it began and returned, each read
// of the task file, and the process's end. From the clock as the world shows it at each tick it
// decides which minute is walked, again or not at all; it walks the table the program last read
// with a matcher of its own; and it says what the run log must then hold, at which moment, and
// with which reasons. A launch the shell was asked for that no due line called for, one that
// asks for what the launch file does not say, and a due launch that never reached the shell are
// violations of their own.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MonthCheck.h"
#include "app/MonthFacts.h"
#include "app/MonthLog.h"
#include "support/SimWorld.h"

namespace pendulon::sim {

class WalkModel {
 public:
  WalkModel(const SimWorld& world, const MonthFacts& facts);
  // Plays the month; gives what the log must hold, and adds what the world itself shows wrong.
  std::vector<Expected> Play(std::vector<Violation>& violations);

  // An error a walk raised at a task line, and when the walk stood there.
  struct Raise {
    std::int64_t elapsed = 0;
    int line = 0;
    std::string error;
  };
  // Every error the walks raised, in order, once played.
  const std::vector<Raise>& Raises() const { return raises_; }

 private:
  struct Table {
    std::vector<std::string> lines;
    std::uint64_t version = 0;
  };
  using LineKey = std::pair<int, std::string>;  // line number, item
  struct Walk {
    std::int64_t label = 0, utcMinute = 0;
    std::int64_t at = 0, elapsed = 0;  // where the walk stands now
    int depth = 0;
    std::shared_ptr<const Table> table;
    std::size_t next = 0;                  // the index it goes on from
    std::optional<Request> due;            // a launch it is about to ask the shell for
    LineKey dueLine;                       // whose launch it is, or waits for
    const ShellRecord* waiting = nullptr;  // the launch it waits for
    int nextTaskLine = 0;                  // the task line after that one
    bool over = false, done = false;
  };

  void Tick(const TickRecord& tick);
  void Read(const FileRead& read);
  void Started(const ShellRecord& launch);
  void Returned(const ShellRecord& launch);
  void Quit();

  // Walks on from where the walk stands until a launch is due, an error ends it, or the lines end.
  void Go(Walk& walk);
  // The walk ends then: the task lines from fromLine on (none for 0) were not examined, for a
  // reason that reasonWrong finds nothing wrong with.
  void End(Walk& walk, int fromLine, std::int64_t at, std::int64_t elapsed,
           std::function<std::string(const std::string&)> reasonWrong);
  // Drops the walks that are done from the top of the stack.
  void Unwind();
  // The launch the walk waits for still waits as the walk ends.
  void StillWaiting(const Walk& walk, std::int64_t at, std::int64_t elapsed);
  void Expect(Expected expected) { expected_.push_back(std::move(expected)); }
  void Fail(std::int64_t at, std::string what) { violations_->push_back({at, std::move(what)}); }
  Span Since(std::int64_t at, std::int64_t elapsed, const TickRecord* tick) const;

  const SimWorld& world_;
  const MonthFacts& facts_;
  std::vector<Expected> expected_;
  std::vector<Violation>* violations_ = nullptr;
  std::vector<Raise> raises_;

  std::shared_ptr<const Table> table_ = std::make_shared<Table>();
  bool lastReadOk_ = false, anyRead_ = false;
  // The last walk: its minute, and when it began.
  std::optional<std::int64_t> walked_;
  std::int64_t walkAt_ = 0, walkElapsed_ = 0;
  std::optional<std::pair<std::int64_t, std::int64_t>> toldNotAgain_;
  std::map<LineKey, std::int64_t> launched_;           // the minute each line launched for
  std::map<LineKey, const ShellRecord*> outstanding_;  // launches not yet returned
  std::vector<std::unique_ptr<Walk>> walks_;           // the outermost first
  Walk* pending_ = nullptr;                            // a walk whose launch is due now
  bool stopped_ = false;
};

}  // namespace pendulon::sim
