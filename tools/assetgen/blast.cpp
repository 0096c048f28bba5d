// "blast2.bmp": the fire the blast sphere wears. The sphere takes s and t straight from its
// object x and y, so one 128 × 128 tile covers one unit and repeats up to twenty times across the
// grown ball. Anything as large as the tile would repeat visibly, so the fire is built only from
// features an eighth of the tile and smaller: several octaves of smooth noise, each lattice
// dividing the tile evenly so the tile wraps, their domain warped by more such noise so the
// blobs curl like flame. Heat then runs from dark red through orange and yellow to white-hot
// cores, evenly spread, so no one spot of the tile catches the eye.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "render/bmp.h"
#include "tools/assetgen/assets.h"

namespace {

constexpr int tileSize = 128;  // pixels per side; one unit of the blast sphere
constexpr double twoPi = 6.283185307179586;

std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t salt) {
  std::uint32_t h = a * 0x9e3779b1u ^ b * 0x85ebca77u ^ salt * 0xc2b2ae3du;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  h *= 0x297a2d39u;
  h ^= h >> 15;
  return h;
}

// Gradient noise on a lattice of period × period cells over the tile, so it wraps with it.
double noise(double x, double y, int period, std::uint32_t salt) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const double fx = x - ix, fy = y - iy;
  auto corner = [&](int i, int j, double dx, double dy) {
    std::uint32_t h = mix(static_cast<std::uint32_t>(((i % period) + period) % period),
                          static_cast<std::uint32_t>(((j % period) + period) % period), salt);
    double angle = (h & 0xFFFF) / 65536.0 * twoPi;
    return std::cos(angle) * dx + std::sin(angle) * dy;
  };
  auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
  const double sx = fade(fx), sy = fade(fy);
  const double a = corner(ix, iy, fx, fy) + (corner(ix + 1, iy, fx - 1, fy) - corner(ix, iy, fx, fy)) * sx;
  const double b = corner(ix, iy + 1, fx, fy - 1) + (corner(ix + 1, iy + 1, fx - 1, fy - 1) - corner(ix, iy + 1, fx, fy - 1)) * sx;
  return a + (b - a) * sy;  // about -0.7..0.7
}

// Octaves from `cells` lattice cells per tile up to 32 (four pixels a cell), each 0.7 as strong
// as the one before. u, v in tile units; the sum is about -0.6..0.6.
double fractal(double u, double v, int cells, std::uint32_t salt) {
  double sum = 0.0, amplitude = 1.0, total = 0.0;
  for (; cells <= 32; cells *= 2) {
    sum += amplitude * noise(u * cells, v * cells, cells, salt + static_cast<std::uint32_t>(cells));
    total += amplitude;
    amplitude *= 0.7;
  }
  return sum / total;
}

// Heat 0..1 at a point of the tile: the fractal sampled through a warp made of two more fractals,
// which bends the blobs into tongues and curls; a warp of whole-tile periodic noise keeps the
// result periodic too.
double heat(double u, double v) {
  const double warpU = u + 0.04 * fractal(u, v, 8, 101);
  const double warpV = v + 0.04 * fractal(u, v, 8, 202);
  const double f = fractal(warpU, warpV, 8, 404);
  return std::clamp(0.40 + 1.9 * f, 0.0, 1.0);
}

// Dark red through orange and yellow to white: red rises first, green later, blue only at the
// hottest, so every texel keeps red ≥ green ≥ blue.
void fireColour(double h, std::uint8_t* out) {
  const double r = std::clamp(0.40 + 1.2 * h, 0.0, 1.0);
  const double g = std::clamp(1.35 * h * h, 0.0, 1.0);
  const double b = std::clamp(3.0 * (h - 0.68), 0.0, 1.0) * g;
  out[0] = static_cast<std::uint8_t>(std::lround(255.0 * r));
  out[1] = static_cast<std::uint8_t>(std::lround(255.0 * std::min(r, g)));
  out[2] = static_cast<std::uint8_t>(std::lround(255.0 * std::min(g, b)));
}

// The flat ring around the grown ball has no texture coordinates of its own and shows the
// average of the tile's four corner texels. The tile is rolled (which keeps it seamless) so that
// the 2 × 2 block nearest this colour lands on the corners: the ring burns the same hot orange as
// the ball.
constexpr int ringColour[3] = {240, 105, 10};

std::vector<std::uint8_t> blastPixels() {
  std::vector<std::uint8_t> fire(tileSize * tileSize * 3);
  auto at = [](int x, int y) { return 3 * (static_cast<std::size_t>((y + tileSize) % tileSize) * tileSize + (x + tileSize) % tileSize); };
  for (int y = 0; y < tileSize; ++y)
    for (int x = 0; x < tileSize; ++x) fireColour(heat((x + 0.5) / tileSize, (y + 0.5) / tileSize), &fire[at(x, y)]);

  int bestX = 0, bestY = 0, bestDistance = 1 << 30;
  for (int y = 0; y < tileSize; ++y) {
    for (int x = 0; x < tileSize; ++x) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) {
        const int mean = (fire[at(x, y) + c] + fire[at(x + 1, y) + c] + fire[at(x, y + 1) + c] + fire[at(x + 1, y + 1) + c]) / 4;
        distance += (mean - ringColour[c]) * (mean - ringColour[c]);
      }
      if (distance < bestDistance) bestDistance = distance, bestX = x, bestY = y;
    }
  }
  // Texel (bestX + 1, bestY + 1) becomes texel (0, 0), and the block's other three the far corners.
  std::vector<std::uint8_t> pixels(fire.size());
  for (int y = 0; y < tileSize; ++y)
    for (int x = 0; x < tileSize; ++x)
      for (int c = 0; c < 3; ++c) pixels[at(x, y) + c] = fire[at(x + bestX + 1, y + bestY + 1) + c];
  return pixels;
}

}  // namespace

void writeBlast(const std::filesystem::path& runDir) {
  const std::vector<std::byte> file = writeBmp24(tileSize, tileSize, blastPixels());
  writeDataFile(runDir, "blast2.bmp", file);
}
