#pragma once
// The pieces of qefcheck's JSON documents: strings that stay ASCII whatever bytes they hold,
// objects whose members keep their order, and the JSON of a schedule and of a launch, which
// both the report and the list of the next launches give.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/launch/LaunchExplanation.h"
#include "checker/search/Schedule.h"

namespace pendulon {

// The documents' format; raised when a member changes meaning or goes away.
constexpr int kJsonFormat = 1;

// Every byte from 0x7F and every control byte as \u00XX, so the document is valid whatever the
// files hold.
std::string JsonString(std::string_view bytes);
std::string Number(int value);
std::string Bool(bool value);
std::string OrNull(bool present, const std::string& json);

using Members = std::vector<std::pair<const char*, std::string>>;  // names and JSON values

std::string Object(const Members& members, const char* between = ",");

template <typename Items, typename ToJson>
std::string Array(const Items& items, ToJson toJson) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ",") + toJson(item);
  return "[" + text + "]";
}

std::string ScheduleJson(const Schedule& schedule);
std::string LaunchJson(const LaunchExplanation& launch);

}  // namespace pendulon
