#include "scheduler/ClockReading.h"

#include "platform/Calendar.h"

namespace pendulon {
namespace {

constexpr std::int64_t kMinuteMs = 60000;
constexpr std::int64_t kDayMs = 24 * 60 * kMinuteMs;

}  // namespace

std::int64_t ClockReading::UtcMinute() const {
  return FloorDiv(utcMs, kMinuteMs);
}

std::int64_t ClockReading::LocalMinuteNumber() const {
  return FloorDiv(utcMs + offsetMinutes * kMinuteMs, kMinuteMs);
}

std::uint32_t ClockReading::IntoMinute() const {
  return (local.second % 60u) * 1000u + local.milliseconds % 1000u;
}

ClockReading ReadClock(HostSystem& clock) {
  ClockReading r;
  r.local = clock.LocalTime();
  r.offsetMinutes = clock.UtcOffsetMinutes();
  r.monotonic = clock.Milliseconds();
  r.awake = clock.AwakeMilliseconds();
  const std::int64_t localMs = DaysFromCivil(r.local.year, r.local.month, r.local.day) * kDayMs +
                               r.local.hour * 3600000LL + r.local.minute * kMinuteMs +
                               r.local.second * 1000LL + r.local.milliseconds;
  r.utcMs = localMs - r.offsetMinutes * kMinuteMs;
  return r;
}

SystemTime MinuteTime(std::int64_t localMinute) {
  const std::int64_t days = FloorDiv(localMinute, 24 * 60);
  const CivilDate date = CivilFromDays(days);
  const std::int64_t inDay = localMinute - days * 24 * 60;
  SystemTime t;
  t.year = static_cast<std::uint16_t>(date.year);
  t.month = static_cast<std::uint16_t>(date.month);
  t.day = static_cast<std::uint16_t>(date.day);
  t.dayOfWeek = static_cast<std::uint16_t>(WeekdayOfDay(days) - 1);  // 0 for Sunday
  t.hour = static_cast<std::uint16_t>(inDay / 60);
  t.minute = static_cast<std::uint16_t>(inDay % 60);
  return t;
}

ClockMovement MovementBetween(const ClockReading& from, const ClockReading& to) {
  ClockMovement m;
  m.passedMs = to.monotonic - from.monotonic;
  m.steppedMs = (to.utcMs - from.utcMs) - static_cast<std::int64_t>(m.passedMs);
  m.offsetChange = to.offsetMinutes - from.offsetMinutes;
  const std::uint64_t awake = to.awake - from.awake;
  m.sleptMs = m.passedMs > awake ? m.passedMs - awake : 0;
  return m;
}

}  // namespace pendulon
