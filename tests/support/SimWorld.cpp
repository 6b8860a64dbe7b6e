#include "support/SimWorld.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "platform/Calendar.h"
#include "platform/Win32Conventions.h"
#include "support/SimPlatform.h"

namespace pendulon::sim {
namespace {

constexpr std::int64_t kMsFrom1601To1970 = kSecondsFrom1601To1970 * 1000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

SystemTime CivilFromUtcMs(std::int64_t ms) {
  const std::int64_t days = FloorDiv(ms, kDay);
  const std::int64_t inDay = ms - days * kDay;
  const CivilDate date = CivilFromDays(days);

  SystemTime t;
  t.year = static_cast<std::uint16_t>(date.year);
  t.month = static_cast<std::uint16_t>(date.month);
  t.day = static_cast<std::uint16_t>(date.day);
  t.dayOfWeek =
      static_cast<std::uint16_t>((FloorDiv(ms, kDay) % 7 + 7 + 4) % 7);  // 1970-01-01: Thu
  t.hour = static_cast<std::uint16_t>(inDay / kHour);
  t.minute = static_cast<std::uint16_t>(inDay / kMinute % 60);
  t.second = static_cast<std::uint16_t>(inDay / kSecond % 60);
  t.milliseconds = static_cast<std::uint16_t>(inDay % kSecond);
  return t;
}

std::int64_t UtcMsFromCivil(int year, int month, int day, int hour, int minute, int second,
                            int ms) {
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * kDay +
         hour * kHour + minute * kMinute + second * kSecond + ms;
}

FileTime FileTimeFromUtcMs(std::int64_t ms) {
  return static_cast<FileTime>(ms + kMsFrom1601To1970) * 10000u;
}

std::int64_t UtcMsFromFileTime(FileTime time) {
  return static_cast<std::int64_t>(time / 10000u) - kMsFrom1601To1970;
}

void SetEuropeBerlinRules(SimWorld& world) {
  using namespace std::chrono;
  world.SetOffsetFrom(INT64_MIN, kHour);
  for (int y = 2026; y <= 2040; ++y) {
    for (const auto& [month, offset] : {std::pair{3u, 2 * kHour}, std::pair{10u, kHour}}) {
      const year_month_day sunday{sys_days{year(y) / month / Sunday[last]}};
      world.SetOffsetFrom(
          UtcMsFromCivil(y, static_cast<int>(month),
                         static_cast<int>(static_cast<unsigned>(sunday.day())), 1, 0, 0, 0),
          offset);
    }
  }
}

SimWorld::SimWorld() {
  SetLocalTime(2026, 3, 5, 10, 15, 30);
}

SystemTime SimWorld::ToLocal(std::int64_t utc) const {
  return CivilFromUtcMs(utc + OffsetAt(utc));
}

std::int64_t SimWorld::OffsetAt(std::int64_t utc) const {
  return OffsetAt(utc, elapsed_);
}

SystemTime SimWorld::LocalAt(std::int64_t utc, std::int64_t elapsed) const {
  return CivilFromUtcMs(utc + OffsetAt(utc, elapsed));
}

std::int64_t SimWorld::OffsetAt(std::int64_t utc, std::int64_t elapsed) const {
  const Zone* zone = &zones_.front();
  for (const Zone& z : zones_)
    if (z.fromElapsed <= elapsed)
      zone = &z;
  std::int64_t offset = 0;
  for (const auto& [from, value] : zone->rules) {
    if (from <= utc)
      offset = value;
  }
  return offset;
}

void SimWorld::SetLocalTime(int year, int month, int day, int hour, int minute, int second,
                            int ms) {
  now_ = UtcMsFromCivil(year, month, day, hour, minute, second, ms) - OffsetAt(now_);
  if (!deadlineSet_)
    deadline_ = now_ + 7 * kDay;
}

void SimWorld::SetOffsetFrom(std::int64_t utc, std::int64_t offset) {
  Rules rules = CurrentRules();
  rules.emplace_back(utc, offset);
  SetZone(std::move(rules));
}

void SimWorld::SetZone(Rules rules) {
  std::sort(rules.begin(), rules.end());
  if (zones_.back().fromElapsed == elapsed_ || zones_.size() == 1)
    zones_.back().rules = std::move(rules);
  else
    zones_.push_back({elapsed_, std::move(rules)});
}

void SimWorld::Sleep(std::int64_t ms) {
  // A machine asleep is not put to sleep again: a sleep that falls in another is no sleep.
  if (asleep_)
    return;
  sleeps.push_back({now_, elapsed_, ms});
  asleep_ = true;
  const std::int64_t wake = elapsed_ + ms;
  AdvanceElapsedTo(wake);
  slept_ += ms;
  asleep_ = false;
}

void SimWorld::ShiftZone(std::int64_t shift) {
  Rules rules = CurrentRules();
  for (auto& rule : rules) rule.second += shift;
  if (rules.empty())
    rules.emplace_back(INT64_MIN, shift);
  zones_.push_back({elapsed_, std::move(rules)});
}

void SimWorld::ReplaceFutureRules(const Rules& later) {
  Rules rules;
  for (const auto& rule : CurrentRules())
    if (rule.first < now_)
      rules.push_back(rule);
  rules.emplace_back(now_, OffsetAt(now_));
  for (const auto& rule : later)
    if (rule.first > now_)
      rules.push_back(rule);
  std::sort(rules.begin(), rules.end());
  zones_.push_back({elapsed_, std::move(rules)});
}

std::int64_t SimWorld::UtcOf(int year, int month, int day, int hour, int minute, int second,
                             int ms) const {
  const std::int64_t local = UtcMsFromCivil(year, month, day, hour, minute, second, ms);
  return local - OffsetAt(local - OffsetAt(local));
}

void SimWorld::AdvanceElapsedTo(std::int64_t elapsed) {
  while (!events_.empty() && events_.begin()->first <= now_ + (elapsed - elapsed_)) {
    auto event = events_.begin();
    const std::int64_t at = event->first;
    std::function<void()> action = std::move(event->second);
    events_.erase(event);
    if (at > now_) {
      elapsed_ += at - now_;
      now_ = at;
    }
    action();
  }
  if (elapsed > elapsed_) {
    now_ += elapsed - elapsed_;
    elapsed_ = elapsed;
  }
}

void SimWorld::At(std::int64_t utc, std::function<void()> action) {
  events_.emplace(utc, std::move(action));
}

std::int64_t SimWorld::NextEventTime() const {
  return events_.empty() ? kNever : events_.begin()->first;
}

std::string SimWorld::Key(const std::string& path) {
  std::string key(path.size(), '\0');
  std::size_t n = 0;
  for (const char c : path) {
    // Windows takes a run of separators for one.
    if (c == '\\' && n > 0 && key[n - 1] == '\\')
      continue;
    key[n++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  if (n > 3 && key[n - 1] == '\\')
    --n;
  key.resize(n);
  return key;
}

const std::string& SimWorld::KeyOf(const std::string& path) {
  if (keys_.size() > 4096)
    keys_.clear();
  const auto known = keys_.find(path);
  if (known != keys_.end())
    return known->second;
  return keys_.emplace(path, Key(path)).first->second;
}

std::string SimWorld::ParentOf(const std::string& key) {
  const auto slash = key.rfind('\\');
  if (slash == std::string::npos)
    return std::string();
  // The parent of "c:\x" is the drive root "c:\".
  return key.substr(0, slash == 2 && key[1] == ':' ? 3 : slash);
}

void SimWorld::MakeDirectory(const std::string& path) {
  std::string key = Key(path);
  while (key.size() > 3 && files_.count(key) == 0) {
    auto folder = std::make_shared<SimFile>();
    folder->directory = true;
    files_[key] = folder;
    key = ParentOf(key);
  }
}

void SimWorld::WriteFile(const std::string& path, const std::string& bytes,
                         std::optional<std::int64_t> lastWrite) {
  const std::string key = Key(path);
  MakeDirectory(ParentOf(key));
  std::shared_ptr<SimFile>& shared = files_[key];
  if (shared == nullptr)
    shared = std::make_shared<SimFile>();
  SimFile& file = *shared;
  file.directory = false;
  file.bytes = bytes;
  file.lastWrite = lastWrite.value_or(now_);
  if (recordedWrites.count(key) != 0)
    writes.push_back({key, now_, elapsed_, NextOrder(), bytes, bytes.size()});
}

bool SimWorld::WasOn(const std::string& state, std::int64_t elapsed) const {
  const auto found = notes_.find(state);
  bool on = false;
  if (found != notes_.end())
    for (const auto& [at, value] : found->second)
      if (at <= elapsed)
        on = value;
  return on;
}

void SimWorld::RemoveFile(const std::string& path) {
  files_.erase(Key(path));
}

bool SimWorld::RenameFile(const SimFile& file, const std::string& to) {
  const auto source = std::find_if(files_.begin(), files_.end(),
                                   [&](const auto& entry) { return entry.second.get() == &file; });
  // Handles of this world without delete sharing were refused when the renaming one opened.
  if (source == files_.end() || file.directory || file.refuseRename || file.heldOpen ||
      file.lockedForWriting)
    return false;
  const std::string toKey = Key(to);
  if (source->first == toKey)
    return true;
  // Windows replaces no folder, no read-only file and no file that is open.
  const SimFile* target = File(to);
  if (target != nullptr && (target->directory || target->readOnly || target->heldOpen ||
                            target->lockedForWriting || target->openHandles > 0))
    return false;
  const SimFile* parent = File(ParentOf(toKey));
  if (parent == nullptr || !parent->directory)
    return false;
  std::shared_ptr<SimFile> moved = source->second;
  files_.erase(source);
  files_[toKey] = std::move(moved);
  return true;
}

void SimWorld::LockForWriting(const std::string& path, bool locked) {
  File(path)->lockedForWriting = locked;
}

SimFile* SimWorld::File(const std::string& path) {
  const std::string& key = KeyOf(path);
  if (key.size() == 3 && key[1] == ':') {
    static SimFile root{true, {}, 0, false, false};
    return &root;
  }
  const auto found = files_.find(key);
  return found == files_.end() ? nullptr : found->second.get();
}

std::shared_ptr<SimFile> SimWorld::Shared(const std::string& path) {
  const auto found = files_.find(KeyOf(path));
  return found == files_.end() ? nullptr : found->second;
}

std::string SimWorld::Contents(const std::string& path) {
  SimFile* file = File(path);
  if (file == nullptr)
    throw std::runtime_error("no file " + path);
  return file->bytes;
}

WindowHandle SimWorld::AddWindow(const std::string& className, const std::string& caption,
                                 SimPlatform* process, WindowClient* client) {
  SimWindow window;
  window.handle = nextWindow_++;
  window.className = className;
  window.caption = caption;
  window.process = process;
  window.client = client;
  windows_.push_back(window);
  return window.handle;
}

void SimWorld::RemoveWindow(WindowHandle handle) {
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                [handle](const SimWindow& w) { return w.handle == handle; }),
                 windows_.end());
}

SimWindow* SimWorld::Window(WindowHandle handle) {
  for (SimWindow& window : windows_) {
    if (window.handle == handle)
      return &window;
  }
  return nullptr;
}

SimWindow* SimWorld::FindWindow(const std::string& className, const std::string& caption) {
  for (SimWindow& window : windows_) {
    if (window.className == className && window.caption == caption)
      return &window;
  }
  return nullptr;
}

void SimWorld::SendClose(WindowHandle handle) {
  SimWindow* window = Window(handle);
  if (window != nullptr && window->process != nullptr)
    window->process->PostClose(handle);
}

void SimWorld::EndSession() {
  for (const SimWindow& window : windows_) {
    if (window.process != nullptr)
      window.process->PostEndSession(window.handle);
  }
}

std::vector<WindowHandle> SimWorld::OpenFamily() {
  return {AddWindow("TfrmQuillmar", "Quillmar v.2.5 Final Release"),
          AddWindow("TfrmMenuEditor", "Quillmar Menu Editor v.4.02"),
          AddWindow("TfrmQuillmarSettings", "Vostrelin Quillmar 2.5 Settings")};
}

std::vector<BoxRecord> SimWorld::MessageBoxes() const {
  std::vector<BoxRecord> result;
  for (const BoxRecord& box : boxes) {
    if (box.kind == BoxRecord::kMessageBox)
      result.push_back(box);
  }
  return result;
}

int SimWorld::Opens(const std::string& path) const {
  return static_cast<int>(std::count_if(opened.begin(), opened.end(),
                                        [&](const std::string& p) { return Key(p) == Key(path); }));
}

int SimWorld::OpenBoxes() const {
  return static_cast<int>(
      std::count_if(boxes.begin(), boxes.end(), [](const BoxRecord& b) { return b.closedAt < 0; }));
}

}  // namespace pendulon::sim
