// The floor's two textures, made from one relief: "block.bmp", large slate flagstones laid in two
// staggered courses with dark mortar joints, and "normal2.bmp", the normals of the same relief
// packed as 127·n + 128 per channel (x along the image's columns, y along its rows from the
// bottom, z out of the floor). One 256 × 256 tile covers 20 × 20 units of floor and repeats
// seamlessly, a hundred times across.
//
// The tile is seen from a few units away down to a few pixels at the horizon, so it is made to
// survive the box-filtered mipmaps the game builds from it: the slabs are big (about 10 units),
// their relief is low and smooth, and every feature finer than a joint is faint. Averaged down,
// the normals turn into the same gently tilted plane everywhere and the far floor goes calm
// instead of shimmering; the joints, wide and dark in the colour image, stay visible furthest.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "render/bmp.h"
#include "tools/assetgen/assets.h"

namespace {

constexpr int tileSize = 256;     // pixels per side of the tile; 12.8 pixels per unit
constexpr int courseHeight = 128; // pixels per course of slabs: two courses per tile
constexpr double joint = 3.5;     // half the mortar joint's width, pixels
constexpr double bevel = 12.0;    // width of a slab's rounded edge, pixels

// Where the slabs of each course end along x, pixels; the second course's joints fall between the
// first's, so no joint runs on across two courses, and the slabs differ in length.
constexpr int courseJoints[2][2] = {{0, 144}, {72, 200}};

// The sun stands low towards +x and -y of the floor's frame where the game is played, near the
// floor's middle: the game lights the floor with one light vector per corner, and between them it
// comes out at about 8° above the horizon along this azimuth. Every normal is leant towards it by
// sunLean, so the flat stone catches some of the light instead of lying almost black under it.
constexpr double sunLean = 0.26;                         // radians
constexpr double sunAzimuth[2] = {0.8507, -0.5257};      // unit, in the floor's x-y plane

std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t salt) {
  std::uint32_t h = a * 0x8da6b343u ^ b * 0xd8163841u ^ salt * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

double unit(std::uint32_t h) { return (h & 0xFFFF) / 65535.0; }

int wrap(int v) { return ((v % tileSize) + tileSize) % tileSize; }

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

// Octaves of periodic noise from `cells` lattice cells per tile upwards, about -0.5..0.5.
double octaves(int x, int y, int cells, int count, std::uint32_t salt) {
  double sum = 0.0, amplitude = 1.0, total = 0.0;
  for (int octave = 0; octave < count; cells *= 2, ++octave) {
    const double scale = double(cells) / tileSize;
    sum += amplitude * (periodicNoise(x * scale, y * scale, cells, salt + octave) - 0.5);
    total += amplitude;
    amplitude *= 0.5;
  }
  return sum / total;
}

struct Slab {
  int id;         // which slab of the tile
  double edge;    // distance to the nearest joint, pixels
  double u, v;    // position inside the slab, -1..1 along its length and across
};

Slab slabAt(int x, int y) {
  const int course = y / courseHeight;
  const int* ends = courseJoints[course];
  // Along the course from its first joint, so the slab that wraps round the tile is one piece.
  const int along = wrap(x - ends[0]);
  const int split = ends[1] - ends[0];
  const int index = along < split ? 0 : 1;
  const double start = index == 0 ? 0.0 : split;
  const double length = index == 0 ? split : tileSize - split;
  const double px = along - start + 0.5;
  const double py = (y - course * courseHeight) + 0.5;
  Slab s;
  s.id = course * 2 + index;
  s.edge = std::min(std::min(px, length - px), std::min(py, courseHeight - py));
  s.u = px / length * 2.0 - 1.0;
  s.v = py / courseHeight * 2.0 - 1.0;
  return s;
}

// Height of the relief in pixels: joints at 0, slab tops raised behind a rounded shoulder, each
// slab tilted a little its own way, with a faint broad undulation and a fainter grain.
double height(int x, int y) {
  x = wrap(x);
  y = wrap(y);
  const Slab s = slabAt(x, y);
  const double grain = 0.6 * octaves(x, y, 32, 2, 40);
  if (s.edge < joint) return grain;
  const double ramp = std::min(1.0, (s.edge - joint) / bevel);
  const double shoulder = 0.5 - 0.5 * std::cos(ramp * 3.141592653589793);
  const double tiltU = (unit(hash(s.id, 1, 3)) - 0.5) * 3.0;
  const double tiltV = (unit(hash(s.id, 2, 3)) - 0.5) * 3.0;
  const double swell = 6.0 * octaves(x, y, 4, 2, 20);
  return shoulder * (2.5 + tiltU * s.u + tiltV * s.v + swell) + grain;
}

// The stone's colour before the light: cool grey slate, each slab a shade of its own, clouded
// with broad stains; the joints a darker, browner mortar.
void stoneColour(int x, int y, double* rgb) {
  const Slab s = slabAt(x, y);
  const double cloud = octaves(x, y, 8, 3, 60);
  const double grain = octaves(x, y, 64, 2, 80);
  const double tint = unit(hash(s.id, 5, 9)) - 0.5;
  const double shade = 205.0 * (1.0 + 0.10 * tint + 0.16 * cloud + 0.06 * grain);
  double r = shade * (0.93 + 0.05 * tint), g = shade * 0.97, b = shade * (1.02 - 0.04 * tint);
  // The mortar: dark in the joint, the stone's edge shaded into it over the shoulder.
  const double inJoint = std::clamp((joint + 0.35 * bevel - s.edge) / (0.35 * bevel), 0.0, 1.0);
  const double darken = 1.0 - 0.55 * inJoint;
  rgb[0] = r * darken * (1.0 + 0.05 * inJoint);
  rgb[1] = g * darken;
  rgb[2] = b * darken * (1.0 - 0.08 * inJoint);
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
      // Lean the normal towards the sun: a turn by sunLean about the horizontal axis across the
      // sun's azimuth, which takes (0, 0, 1) towards it and every other normal with it.
      const double dotLean = n[0] * sunAzimuth[0] + n[1] * sunAzimuth[1];  // along the azimuth
      const double across[2] = {n[0] - dotLean * sunAzimuth[0], n[1] - dotLean * sunAzimuth[1]};
      const double c = std::cos(sunLean), s = std::sin(sunLean);
      const double along = dotLean * c + n[2] * s;
      const double up = -dotLean * s + n[2] * c;
      const double leant[3] = {across[0] + along * sunAzimuth[0], across[1] + along * sunAzimuth[1], up};
      for (int k = 0; k < 3; ++k) normals[at + k] = static_cast<std::uint8_t>(127.0 * leant[k] + 128.0);

      double rgb[3];
      stoneColour(x, y, rgb);
      for (int k = 0; k < 3; ++k) base[at + k] = static_cast<std::uint8_t>(std::clamp(rgb[k], 0.0, 255.0));
    }
  }
  auto save = [&](const char* name, const std::vector<std::uint8_t>& pixels) {
    const std::vector<std::byte> file = writeBmp24(tileSize, tileSize, pixels);
    writeDataFile(runDir, name, file);
  };
  save("normal2.bmp", normals);
  save("block.bmp", base);
}
