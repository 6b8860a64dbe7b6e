#pragma once
// The launcher family's top-level windows, made and removed by name, so the executer finds (or
// misses) them exactly as it would find the real programs.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace probe {

class FamilyWindows {
 public:
  FamilyWindows();
  ~FamilyWindows();
  FamilyWindows(const FamilyWindows&) = delete;
  FamilyWindows& operator=(const FamilyWindows&) = delete;

  // Returns true iff name is one of the known kinds (see the table in the .cpp).
  static bool Known(const std::string& name);

  // Creates the window of that kind, shown or hidden; false if unknown, already open or failed.
  bool Open(const std::string& name, bool shown);
  // Destroys the window of that kind; false if it is not open.
  bool Close(const std::string& name);
  // Returns the names of the open windows, in name order.
  std::vector<std::string> Names() const;

 private:
  std::map<std::string, HWND> open_;
};

}  // namespace probe
