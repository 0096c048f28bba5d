// assetgen: writes every data file the game reads into the folder given, from the sources here.
// The output depends on nothing but these sources, so every build yields the same bytes.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tools/assetgen/assets.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: assetgen <run folder>\n");
    return 2;
  }
  const std::filesystem::path runDir = argv[1];
  try {
    writeMountains(runDir);
    writeSky(runDir);
    writeFloorTextures(runDir);
    writeSounds(runDir);
    writeShip(runDir);
    writeBlast(runDir);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "assetgen: %s\n", error.what());
    return 1;
  }
  return 0;
}
