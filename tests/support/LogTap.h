#pragma once
// Every line of a run log as it is written, across its roll-overs: a test that runs for weeks sees
// more than the two files the log keeps. Read like an outside observer would, by tabs, without
// the program's own reader.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/SimWorld.h"

namespace pendulon::sim {

struct TappedLine {
  std::vector<std::string> fields;  // the stamp, the event, its fields, as written
  std::size_t fileSize = 0;         // the log's size once it held the line
};

class LogTap {
 public:
  LogTap(SimWorld& world, std::string path) : world_(world), path_(std::move(path)) {}

  // Takes what has been written since the last call, from the file it was reading (by now
  // perhaps renamed .1) and then from the file that bears the name.
  void Take() {
    const std::shared_ptr<SimFile> current = world_.Shared(path_);
    if (current != file_) {
      if (file_ != nullptr)
        Read();
      file_ = current;
      read_ = 0;
    }
    if (file_ != nullptr)
      Read();
  }

  const std::vector<TappedLine>& Lines() const { return lines_; }
  std::size_t LargestFile() const { return largest_; }

 private:
  void Read() {
    const std::string& bytes = file_->bytes;
    largest_ = std::max(largest_, bytes.size());
    for (std::size_t end; (end = bytes.find("\r\n", read_)) != std::string::npos; read_ = end + 2) {
      TappedLine line;
      line.fileSize = end + 2;
      for (std::size_t from = read_;;) {
        const std::size_t tab = bytes.find('\t', from);
        if (tab == std::string::npos || tab > end) {
          line.fields.push_back(bytes.substr(from, end - from));
          break;
        }
        line.fields.push_back(bytes.substr(from, tab - from));
        from = tab + 1;
      }
      lines_.push_back(std::move(line));
    }
  }

  SimWorld& world_;
  std::string path_;
  std::shared_ptr<SimFile> file_;
  std::size_t read_ = 0;
  std::size_t largest_ = 0;
  std::vector<TappedLine> lines_;
};

}  // namespace pendulon::sim
