#include "temp_directory.h"

#include <stdlib.h>

#include <stdexcept>
#include <string>
#include <system_error>

namespace tolvaris::testing {

TempDirectory::TempDirectory() {
  std::string name = (std::filesystem::temp_directory_path() / "tolvaris-curl-XXXXXX").string();
  if (!mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
  path_ = name;
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace tolvaris::testing
