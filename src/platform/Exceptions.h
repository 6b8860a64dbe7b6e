#pragma once
// The error kinds the program raises. Each carries the one message text the user will see.

#include <exception>
#include <string>

#include "platform/AnsiString.h"

namespace pendulon {

class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : message_(std::move(message)) {}
  const AnsiString& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  AnsiString message_;
};

// A file could not be opened for reading: "Cannot open file <path>".
class EFOpenError : public Exception {
 public:
  explicit EFOpenError(const AnsiString& path) : Exception("Cannot open file " + path) {}
};

// A list was read outside 0..count-1: "List index out of bounds (<index>)".
class EStringListError : public Exception {
 public:
  explicit EStringListError(int index)
      : Exception("List index out of bounds (" + std::to_string(index) + ")") {}
};

// The platform refused a timer.
class EOutOfResources : public Exception {
 public:
  EOutOfResources() : Exception("Not enough timers available") {}
};

// The message text of whatever was thrown, for the one place that shows errors to the user.
AnsiString ErrorText(std::exception_ptr error);

}  // namespace pendulon
