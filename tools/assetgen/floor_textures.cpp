// The floor's two textures, made from one relief: "block.bmp", sandstone blocks laid in a running
// bond with mortar grooves, and "normal2.bmp", the normals of the same relief packed as
// 127·n + 128 per channel (x along the image's columns, y along its rows from the bottom, z out
// of the floor). One 256 × 256 tile covers 20 × 20 units of floor and repeats seamlessly.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "render/bmp.h"
#include "tools/assetgen/assets.h"

namespace {

constexpr int tileSize = 256;     // pixels per side of the tile
constexpr int courseHeight = 64;  // pixels per row of blocks: four courses per tile
constexpr int blockLength = 128;  // pixels per block: two per course, alternate courses offset
constexpr double groove = 3.0;    // half the mortar groove's width, pixels
constexpr double bevel = 7.0;     // width of a block's rounded edge, pixels

std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t salt) {
  std::uint32_t h = a * 0x8da6b343u ^ b * 0xd8163841u ^ salt * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

double unit(std::uint32_t h) { return (h & 0xFFFF) / 65535.0; }

// Value noise on a lattice that wraps with the given period, so the tile stays seamless.
double periodicNoise(double x, double y, int period, std::uint32_t salt) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const double fx = x - ix, fy = y - iy;
  auto at = [&](int i, int j) {
    return unit(hash(static_cast<std::uint32_t>(((i % period) + period) % period),
                     static_cast<std::uint32_t>(((j % period) + period) % period), salt));
  };
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double a = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
  const double b = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
  return a + (b - a) * sy;
}

// Roughness of the stone: three octaves, each lattice dividing the tile evenly.
double stoneGrain(int x, int y) {
  double sum = 0.0, amplitude = 1.0;
  for (int cells = 16, octave = 0; octave < 3; cells *= 2, ++octave) {
    const double scale = double(cells) / tileSize;
    sum += amplitude * (periodicNoise(x * scale, y * scale, cells, 7 + octave) - 0.5);
    amplitude *= 0.5;
  }
  return sum;
}

struct Block {
  int id;         // which block of the tile
  double edge;    // distance to the nearest joint, pixels
  double u, v;    // position inside the block, -1..1 along its length and across
};

Block blockAt(int x, int y) {
  const int course = y / courseHeight;
  const int shift = (course % 2) * (blockLength / 2);
  const int along = ((x + shift) % tileSize);
  const int index = along / blockLength;
  const double px = along - index * blockLength + 0.5;  // 0..blockLength
  const double py = (y - course * courseHeight) + 0.5;  // 0..courseHeight
  Block b;
  b.id = course * 2 + index;
  b.edge = std::min(std::min(px, blockLength - px), std::min(py, courseHeight - py));
  b.u = px / blockLength * 2.0 - 1.0;
  b.v = py / courseHeight * 2.0 - 1.0;
  return b;
}

// Height of the relief in pixels: grooves at 0, block tops rounded and tilted a little per block.
double height(int x, int y) {
  x = ((x % tileSize) + tileSize) % tileSize;
  y = ((y % tileSize) + tileSize) % tileSize;
  const Block b = blockAt(x, y);
  if (b.edge < groove) return 0.0;
  const double ramp = std::min(1.0, (b.edge - groove) / bevel);
  const double shoulder = std::sin(ramp * 1.5707963267948966);
  const double tiltU = (unit(hash(b.id, 1, 3)) - 0.5) * 6.0;
  const double tiltV = (unit(hash(b.id, 2, 3)) - 0.5) * 4.0;
  // Worn, rounded tops: under the low light each block brightens towards its +x end.
  const double dome = 14.0 * (1.0 - b.u * b.u) + 4.0 * (1.0 - b.v * b.v);
  return shoulder * (7.0 + dome + tiltU * b.u + tiltV * b.v) + 2.5 * stoneGrain(x, y);
}

}  // namespace

void writeFloorTextures(const std::filesystem::path& runDir) {
  std::vector<std::uint8_t> base(tileSize * tileSize * 3);
  std::vector<std::uint8_t> normals(tileSize * tileSize * 3);
  for (int y = 0; y < tileSize; ++y) {
    for (int x = 0; x < tileSize; ++x) {
      const std::size_t at = 3 * (static_cast<std::size_t>(y) * tileSize + x);

      const double dx = (height(x + 1, y) - height(x - 1, y)) / 2.0;
      const double dy = (height(x, y + 1) - height(x, y - 1)) / 2.0;
      const double length = std::sqrt(dx * dx + dy * dy + 1.0);
      const double n[3] = {-dx / length, -dy / length, 1.0 / length};
      for (int c = 0; c < 3; ++c) normals[at + c] = static_cast<std::uint8_t>(127.0 * n[c] + 128.0);

      const Block b = blockAt(x, y);
      const double grain = stoneGrain(x, y);
      double r, g, bl;
      if (b.edge < groove) {
        const double m = 120.0 + 40.0 * grain;
        r = m;
        g = m * 0.96;
        bl = m * 0.9;
      } else {
        const double tint = unit(hash(b.id, 5, 9)) - 0.5;
        const double shade = 225.0 + 50.0 * grain + 30.0 * tint;
        r = shade;
        g = shade * (0.90 + 0.06 * tint);
        bl = shade * (0.76 + 0.08 * tint);
        const double worn = std::min(1.0, (b.edge - groove) / bevel);
        r *= 0.85 + 0.15 * worn;
        g *= 0.85 + 0.15 * worn;
        bl *= 0.85 + 0.15 * worn;
      }
      base[at + 0] = static_cast<std::uint8_t>(std::clamp(r, 0.0, 255.0));
      base[at + 1] = static_cast<std::uint8_t>(std::clamp(g, 0.0, 255.0));
      base[at + 2] = static_cast<std::uint8_t>(std::clamp(bl, 0.0, 255.0));
    }
  }
  auto save = [&](const char* name, const std::vector<std::uint8_t>& pixels) {
    const std::vector<std::byte> file = writeBmp24(tileSize, tileSize, pixels);
    writeDataFile(runDir, name, file);
  };
  save("normal2.bmp", normals);
  save("block.bmp", base);
}
