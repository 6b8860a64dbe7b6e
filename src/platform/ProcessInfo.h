#pragma once
// What the running process is told about itself: its executable's path, and which bytes lead a
// two-byte character in its ANSI code page.

#include <cstdint>

#include "platform/AnsiString.h"

namespace pendulon {

class ProcessInfo {
 public:
  virtual ~ProcessInfo() = default;

  // GetModuleFileNameA(NULL, ...): the length copied; equal to size when the path was cut.
  virtual std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) = 0;
  virtual bool IsLeadByte(unsigned char byte) = 0;  // IsDBCSLeadByte of the ANSI code page
};

}  // namespace pendulon
