#pragma once

#include <filesystem>

namespace tolvaris::testing {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace tolvaris::testing
