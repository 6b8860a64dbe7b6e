#pragma once
// The probe's orders: lines appended to a text file by whoever drives it. Only complete lines
// count, so a writer may append a line in several pieces.

#include <cstdint>
#include <string>
#include <vector>

namespace probe {

class CommandFile {
 public:
  explicit CommandFile(std::string path) : path_(std::move(path)) {}

  // Returns the complete lines added since the last call, without their line ends. A file that
  // does not exist yet has no lines.
  std::vector<std::string> NewLines();

 private:
  std::string path_;
  std::uint64_t consumed_ = 0;
  std::string partial_;
};

}  // namespace probe
