// tavrel_lv2ttl BUNDLE: writes manifest.ttl, tavrel.ttl and presets.ttl into
// the bundle folder at build time.
#include <cstdio>
#include <fstream>
#include <string>

#include "BundleTurtle.h"

namespace {

bool writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "tavrel_lv2ttl: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tavrel_lv2ttl BUNDLE_FOLDER\n");
    return 2;
  }
  const std::string bundle = argv[1];
  const bool ok = writeFile(bundle + "/manifest.ttl", lv2ttl::manifestTurtle()) &&
                  writeFile(bundle + "/tavrel.ttl", lv2ttl::pluginTurtle()) &&
                  writeFile(bundle + "/presets.ttl", lv2ttl::presetsTurtle());
  return ok ? 0 : 1;
}
