#include "checker/search/ClockChanges.h"

#include "platform/Calendar.h"

namespace pendulon {
namespace {

constexpr std::int64_t kMinutesPerDay = 24 * 60;
// Offsets lie within 16 hours of UTC, so the moments a local day's minutes are shown at lie
// within this bracket of its first minute read as UTC.
constexpr std::int64_t kBefore = 16 * 60, kAfter = kMinutesPerDay + 16 * 60;
// The bracket is sampled at its ends and middle: a change undone within a day and a few hours
// would go unseen, and no zone has one.
constexpr std::int64_t kStep = (kBefore + kAfter) / 2;

}  // namespace

std::int64_t MinuteNumber(const LocalMinute& m) {
  return DaysFromCivil(m.year, static_cast<unsigned>(m.month), static_cast<unsigned>(m.day)) *
             kMinutesPerDay +
         m.hour * 60 + m.minute;
}

LocalMinute MinuteAt(std::int64_t number) {
  const std::int64_t day = (number >= 0 ? number : number - kMinutesPerDay + 1) / kMinutesPerDay;
  const auto inDay = static_cast<int>(number - day * kMinutesPerDay);
  const CivilDate date = CivilFromDays(day);
  return {static_cast<int>(date.year), static_cast<int>(date.month), static_cast<int>(date.day),
          inDay / 60, inDay % 60};
}

const std::vector<ClockChanges::Stretch>& ClockChanges::Around(std::int64_t localDay) {
  const auto [found, fresh] = days_.try_emplace(localDay);
  std::vector<Stretch>& stretches = found->second;
  if (!fresh)
    return stretches;
  const std::int64_t begin = localDay * kMinutesPerDay - kBefore;
  const std::int64_t end = localDay * kMinutesPerDay + kAfter;
  std::int32_t offset = OffsetAt(begin);
  stretches.push_back({begin, offset});
  for (std::int64_t low = begin; low < end; low += kStep) {
    const std::int64_t high = low + kStep;
    const std::int32_t later = OffsetAt(high);
    if (later == offset)
      continue;
    // The first minute of the new offset, by halving: offset at lo, later at hi.
    std::int64_t lo = low, hi = high;
    while (hi - lo > 1) {
      const std::int64_t mid = lo + (hi - lo) / 2;
      (OffsetAt(mid) == offset ? lo : hi) = mid;
    }
    stretches.push_back({hi, later});
    offset = later;
  }
  return stretches;
}

MinuteOccurrence ClockChanges::Occurrences(const LocalMinute& minute) {
  const std::int64_t local = MinuteNumber(minute);
  const std::int64_t day = (local >= 0 ? local : local - kMinutesPerDay + 1) / kMinutesPerDay;
  const std::vector<Stretch>& stretches = Around(day);
  MinuteOccurrence occurrence;
  occurrence.times = 0;
  for (std::size_t i = 0; i < stretches.size(); ++i) {
    const std::int64_t utc = local - stretches[i].offset;
    const bool after = utc >= stretches[i].fromUtc;
    const bool before = i + 1 == stretches.size() || utc < stretches[i + 1].fromUtc;
    occurrence.times += after && before ? 1 : 0;
  }
  if (occurrence.times > 0)
    return occurrence;
  // Skipped: the clock jumps forward over it at one of the changes.
  for (std::size_t i = 1; i < stretches.size(); ++i) {
    const std::int64_t at = stretches[i].fromUtc;
    const std::int64_t from = at + stretches[i - 1].offset, to = at + stretches[i].offset;
    if (from <= local && local < to) {
      occurrence.from = MinuteAt(from);
      occurrence.to = MinuteAt(to);
    }
  }
  return occurrence;
}

}  // namespace pendulon
