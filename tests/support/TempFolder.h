#pragma once
// A fresh folder under /tmp for a test on the real POSIX file system, removed with everything in
// it when the test ends.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace pendulon {

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/pendulon-test-XXXXXX";
    folder_ = mkdtemp(pattern);
  }
  ~TempFolder() { std::filesystem::remove_all(folder_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Folder() const { return folder_; }
  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  // Writes the bytes as the file of that name, making the folders it lies in.
  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

 private:
  std::string folder_;
};

}  // namespace pendulon
