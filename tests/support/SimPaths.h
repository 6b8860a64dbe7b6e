#pragma once
// Where the tests put the executer on the simulated machine: C:\Tools, its two data files in lib.

namespace pendulon::sim {

inline constexpr const char* kExe = "C:\\Tools\\pendulon.exe";
inline constexpr const char* kTasks = "C:\\Tools\\lib\\tasks.qef";
inline constexpr const char* kLaunch = "C:\\Tools\\lib\\launch.qef";

}  // namespace pendulon::sim
