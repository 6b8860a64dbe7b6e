#pragma once
// A test on the real POSIX file system: a fresh folder under /tmp, removed with everything in it
// when the test ends, and the POSIX platform to reach it through.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/posix/PosixPlatform.h"

namespace pendulon {

class PosixFolderTest : public ::testing::Test {
 protected:
  ~PosixFolderTest() override { std::filesystem::remove_all(folder_); }

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  // Writes the bytes as the file of that name, making the folders it lies in.
  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

  const std::string folder_ = MakeFolder();
  PosixPlatform platform_;

 private:
  static std::string MakeFolder() {
    char pattern[] = "/tmp/pendulon-test-XXXXXX";
    return mkdtemp(pattern);
  }
};

}  // namespace pendulon
