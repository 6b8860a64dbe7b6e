#pragma once
// How a running executer is found: the class and caption of its hidden main window. The executer
// looks for it to find a copy that already runs; qefcheck, to say whether one runs.

namespace pendulon {

inline constexpr const char* kMainWindowClass = "TfrmPendulon";
inline constexpr const char* kMainWindowCaption = "Quillmar v.2.5 Final Release";

}  // namespace pendulon
