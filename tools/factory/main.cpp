// Writes the factory files into the folder given as the only argument.
#include <cstdio>
#include <string>

#include "tools/factory/factory.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  if (folder.empty() || folder.back() != '/') folder += '/';
  const std::vector<std::string> failed = vz::factory::WriteFactoryFiles(folder);
  for (const std::string& name : failed) std::fprintf(stderr, "cannot write %s%s\n", folder.c_str(), name.c_str());
  return failed.empty() ? 0 : 1;
}
