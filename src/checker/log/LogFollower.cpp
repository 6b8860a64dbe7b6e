#include "checker/log/LogFollower.h"

#include <algorithm>

#include "checker/log/EventWords.h"
#include "checker/log/LogFileReading.h"
#include "checker/log/LogWriting.h"
#include "checker/text/Printable.h"
#include "platform/Files.h"
#include "platform/FolderFiles.h"
#include "runlog/RunLogWords.h"

namespace pendulon {
namespace {

// How much of a file's end is read for its last events: many lines of any ordinary length.
constexpr std::uint64_t kRecentBytes = 64 * 1024;
constexpr std::size_t kTimeWidth = 25;  // "Wed 2026-12-09 08:30:00" and two spaces

}  // namespace

LogFollower::LogFollower(FileReader& files, Links* links, const AnsiString& logPath,
                         std::ostream& out, WriteAccess* access)
    : files_(files), links_(links), access_(access), path_(logPath), out_(out) {}

void LogFollower::TellWriting(bool opened) {
  std::string why;
  if (!opened)
    why =
        "another program holds it, so that qefcheck cannot read it and Pendulon cannot write "
        "it";
  else if (access_ != nullptr)
    why = WhyLogNotWritten(*access_, path_, path_.substr(0, path_.find_last_of("\\/")));
  if (why == cannotWrite_)
    return;
  const std::string indent(kTimeWidth, ' ');
  if (why.empty())
    out_ << indent << Visible(path_) << ": Pendulon can write it again\n";
  else
    out_ << indent << Visible(path_) << ": " << why << "; records are lost until then\n";
  cannotWrite_ = why;
}

void LogFollower::Say(const std::optional<LogEntry>& entry) {
  std::string line = entry ? LogTime(entry->stamp, true) : std::string();
  line.resize(kTimeWidth, ' ');
  if (entry && entry->event == LogEvent::kStart) {
    copies_.push_back(entry->fields[StartField::kProcessId]);
    if (copies_.size() > kMostCopies)
      copies_.erase(copies_.begin());
  }
  // A copy started while another runs writes its start, its first load and its stop between the
  // running copy's lines, and nothing else: those are told by its process id. Every other line
  // is the running copy's, even while the later copy waits for second 00 or lost its own lines.
  std::string words =
      entry ? EventWords(*entry) : "a line that is no event of the run log, skipped";
  const bool startUp =
      entry &&
      (entry->event == LogEvent::kStart ||
       (entry->event == LogEvent::kLoad && entry->fields[LoadField::kKind] == kLoadFirst) ||
       (entry->event == LogEvent::kLoadFailed &&
        entry->fields[LoadFailedField::kKind] == kLoadFirst) ||
       (entry->event == LogEvent::kEnd && entry->fields[EndField::kReason] == kEndStop));
  if (startUp && copies_.size() > 1) {
    line += "(another copy, process " + Visible(copies_.back()) + ") ";
    // It stops once it sees the copy that runs: it walks no minute.
    if (const std::size_t walks = words.find("; the first minute it walks is");
        walks != std::string::npos)
      words.erase(walks);
  }
  line += words;
  if (entry && entry->event == LogEvent::kEnd && !copies_.empty()) {
    // A copy that stops at once ends its own start; any other end ends every copy before it.
    if (entry->fields[EndField::kReason] == kEndStop)
      copies_.pop_back();
    else
      copies_.clear();
  }
  if (recent_ != nullptr) {
    // A ring of the last few: a log that grows while it is first read is never held whole.
    recent_->push_back(std::move(line));
    if (recent_->size() > recentCount_)
      recent_->pop_front();
  } else
    out_ << line << "\n";
}

LogFileReading LogFollower::ReadFrom(const AnsiString& path, std::uint64_t offset,
                                     RunLogLines& lines) {
  // However much a log that is replaced or appears holds, the last 16 MiB are its news.
  return ReadLogFile(files_, links_, path, offset, kMostLogBytes, lines);
}

void LogFollower::ShowRecent(std::size_t count) {
  std::deque<std::string> recent;
  recent_ = &recent;
  recentCount_ = count;
  for (const AnsiString& path : {OlderRunLog(path_), path_}) {
    const FoundFile found = files_.FindFile(path);
    const bool link = links_ != nullptr && links_->LinkTarget(path).has_value();
    if (!found.found || found.directory || link)
      continue;
    const std::uint64_t from = found.size > kRecentBytes ? found.size - kRecentBytes : 0;
    auto lines = std::make_unique<RunLogLines>(
        [this](std::int64_t, std::optional<LogEntry> entry) { Say(entry); });
    if (from > 0)
      lines->BeginInsideALine();
    const std::uint64_t end = ReadFrom(path, from, *lines).end;
    if (path != path_) {
      lines->Finish();
      continue;
    }
    // The log itself goes on from here; a line still being written is finished later.
    offset_ = end;
    lastWrite_ = found.lastWrite;
    lines_ = std::move(lines);
    state_ = State::kFollowing;
  }
  recent_ = nullptr;
  for (const std::string& line : recent) out_ << line << "\n";
}

void LogFollower::Wait(const std::string& why, int cause) {
  if (state_ != State::kWaiting || cause != waitCause_)
    out_ << std::string(kTimeWidth, ' ') << why << "\n";
  state_ = State::kWaiting;
  waitCause_ = cause;
  offset_ = 0;
  lines_.reset();
}

void LogFollower::Look() {
  if (links_ != nullptr) {
    if (const std::optional<AnsiString> target = links_->LinkTarget(path_)) {
      WaitForLink(*target);
      return;
    }
  }
  const FoundFile found = files_.FindFile(path_);
  if (!found.found || found.directory) {
    Wait(state_ == State::kFollowing
             ? Visible(path_) + " was deleted: waiting for it to be there again"
             : "waiting for " + Visible(path_) +
                   ", which is not there: an empty file of that name turns the run log on",
         kMissing);
    return;
  }
  if (state_ == State::kFollowing && found.size < offset_) {
    // Rolled over: the rest of the file read so far now lies in the older file, unless that is
    // older than what was read (the log was deleted and begun anew).
    const AnsiString older = OlderRunLog(path_);
    const FoundFile old = files_.FindFile(older);
    const bool link = links_ != nullptr && links_->LinkTarget(older).has_value();
    if (old.found && !old.directory && !link && old.size >= offset_ && old.lastWrite >= lastWrite_)
      ReadFrom(older, offset_, *lines_);
    lines_->Finish();
    lines_.reset();
    offset_ = 0;
  }
  if (!lines_)
    lines_ = std::make_unique<RunLogLines>(
        [this](std::int64_t, std::optional<LogEntry> entry) { Say(entry); });
  const LogFileReading reading = ReadFrom(path_, offset_, *lines_);
  if (reading.link) {
    // Swapped for a link since it was looked at: judged on what was opened, it is not read.
    const std::optional<AnsiString> target = links_->LinkTarget(path_);
    WaitForLink(target ? *target : AnsiString());
    return;
  }
  if (reading.opened && reading.kind != FileKind::kFile) {
    Wait(Visible(path_) + ": " + WhyNotRead(reading.kind) +
             "; qefcheck reads none: waiting for a file of that name",
         kNotAFile + static_cast<int>(reading.kind));
    return;
  }
  TellWriting(reading.opened);
  if (!reading.opened)
    return;
  state_ = State::kFollowing;
  offset_ = reading.end;
  lastWrite_ = found.lastWrite;
}

void LogFollower::WaitForLink(const AnsiString& target) {
  Wait(Visible(path_) + " is a link to " + (target.empty() ? "an unknown place" : Visible(target)) +
           ", which qefcheck does not follow: waiting for a file of that name",
       kLink);
}

}  // namespace pendulon
