#pragma once
// A schedule in words: "every minute", "at minute 5 of every hour", "at 8:30 on Mondays",
// "at 0:00 on 1 January".

#include <string>

#include "checker/Schedule.h"

namespace pendulon {

std::string DescribeSchedule(const Schedule& schedule);

}  // namespace pendulon
