// A scratch folder for one test: made fresh under the temporary-files folder
// and removed with everything in it when the object goes. Symbolic links
// inside it (a prefix's "z:" -> "/") are removed, never followed.
#pragma once

#include <string>

namespace zq {

class ScratchDir {
 public:
  // prefix names the folder, e.g. "zq-sample" -> /tmp/zq-sample-XXXXXX.
  explicit ScratchDir(const std::string& prefix = "zq-test");
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Empty when the folder could not be made.
  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string sub(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace zq
