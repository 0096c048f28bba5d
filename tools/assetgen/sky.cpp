// The six sky faces "sky/f.raw" ... "sky/earth.raw": a dusk with a low sun at +x (where the
// game's light comes from), a bright horizon and drifting clouds. Every texel is coloured from
// its direction through the box's own fan table, so the faces meet without seams.
// The game tints the sky (1, 0.5, 0): only red and half of green reach the screen.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "render/skybox.h"
#include "tools/assetgen/assets.h"

namespace {

struct Dir {
  double x, y, z;
};

double dot(Dir a, Dir b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Dir normalised(Dir d) {
  const double length = std::sqrt(dot(d, d));
  return {d.x / length, d.y / length, d.z / length};
}

double smoothstep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

double mix(double a, double b, double t) { return a + (b - a) * t; }

// A lattice value in 0..1 from an integer hash (deterministic, no shared generator involved).
double lattice(int x, int y, int z) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u ^
                    static_cast<std::uint32_t>(z) * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double valueNoise(double x, double y, double z) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y)),
            iz = static_cast<int>(std::floor(z));
  auto fade = [](double t) { return t * t * (3.0 - 2.0 * t); };
  const double fx = fade(x - ix), fy = fade(y - iy), fz = fade(z - iz);
  double plane[2];
  for (int dz = 0; dz < 2; ++dz) {
    const double a = mix(lattice(ix, iy, iz + dz), lattice(ix + 1, iy, iz + dz), fx);
    const double b = mix(lattice(ix, iy + 1, iz + dz), lattice(ix + 1, iy + 1, iz + dz), fx);
    plane[dz] = mix(a, b, fy);
  }
  return mix(plane[0], plane[1], fz);
}

double fbm(double x, double y, double z, int octaves) {
  double sum = 0.0, amplitude = 0.5, norm = 0.0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * valueNoise(x, y, z);
    norm += amplitude;
    x = x * 2.03 + 17.1;
    y = y * 2.03 + 5.3;
    z = z * 2.03 + 11.7;
    amplitude *= 0.5;
  }
  return sum / norm;
}

struct Colour {
  double r, g, b;  // 0..255
};

Colour mix(Colour a, Colour b, double t) { return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)}; }

// The sky seen in direction d (unit, y up). Green is designed at twice what should show.
Colour skyColour(Dir d) {
  const Dir sun = normalised({1.0, 0.06, 0.0});
  const double elevation = d.y;
  const double towardsSun = std::max(0.0, dot(d, sun));

  const Colour zenith{70, 50, 90};
  const Colour upper{150, 110, 120};
  const Colour horizon{245, 200, 150};
  const Colour ground{40, 40, 30};

  Colour sky;
  if (elevation >= 0.0) {
    const double e = std::sqrt(elevation);
    sky = e < 0.5 ? mix(horizon, upper, e / 0.5) : mix(upper, zenith, (e - 0.5) / 0.5);
  } else {
    sky = mix(horizon, ground, smoothstep(0.0, 0.12, -elevation));
  }

  // The low sun: a wide warm glow, a tighter bright halo and the disc itself.
  const double glow = 0.55 * std::pow(towardsSun, 6.0) + 0.6 * std::pow(towardsSun, 60.0);
  sky = mix(sky, Colour{255, 235, 200}, std::min(1.0, glow));
  sky = mix(sky, Colour{255, 255, 235}, smoothstep(0.9986, 0.9990, towardsSun));

  // Clouds: a stretched noise layer above the horizon, dark against the glow, with rims lit on
  // the sun's side.
  if (elevation > -0.02) {
    const double n = fbm(d.x * 3.0, d.y * 9.0, d.z * 3.0, 6);
    const double cover = smoothstep(0.44, 0.62, n) * smoothstep(-0.02, 0.10, elevation) *
                         (1.0 - smoothstep(0.75, 0.98, elevation));
    const double rim = std::pow(towardsSun, 3.0);
    const Colour cloud = mix(Colour{95, 70, 80}, Colour{255, 170, 120}, rim * (1.0 - smoothstep(0.5, 0.8, n)));
    sky = mix(sky, cloud, cover * 0.9);
  }

  // A faint grain on the ground below the horizon.
  if (elevation < 0.0) {
    const double grain = fbm(d.x * 40.0, d.y * 40.0, d.z * 40.0, 3) - 0.5;
    const double amount = smoothstep(0.0, 0.1, -elevation) * 30.0;
    sky.r += grain * amount;
    sky.g += grain * amount;
  }
  return sky;
}

std::uint8_t toByte(double value) { return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0) + 0.5); }

// The face's pixels, row 0 first: each texel centre placed on the box through the fan's corners.
std::vector<std::uint8_t> renderFace(SkyFace face) {
  const SkyCorner* fan = skyFaceFan(face);
  Dir corner[2][2] = {};  // [s][t]
  for (int v = 0; v < 4; ++v) {
    corner[fan[v].s > 0.5f][fan[v].t > 0.5f] = {fan[v].x, fan[v].y, fan[v].z};
  }
  std::vector<std::uint8_t> pixels(skyFaceBytes);
  for (int row = 0; row < skyFaceEdge; ++row) {
    const double t = (row + 0.5) / skyFaceEdge;
    for (int column = 0; column < skyFaceEdge; ++column) {
      const double s = (column + 0.5) / skyFaceEdge;
      Dir p{};
      const double w[2][2] = {{(1 - s) * (1 - t), (1 - s) * t}, {s * (1 - t), s * t}};
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
          p.x += w[i][j] * corner[i][j].x;
          p.y += w[i][j] * corner[i][j].y;
          p.z += w[i][j] * corner[i][j].z;
        }
      const Colour c = skyColour(normalised(p));
      std::uint8_t* out = &pixels[3 * (static_cast<std::size_t>(row) * skyFaceEdge + column)];
      out[0] = toByte(c.r);
      out[1] = toByte(c.g);
      out[2] = toByte(c.b);
    }
  }
  return pixels;
}

}  // namespace

void writeSky(const std::filesystem::path& runDir) {
  struct FaceFile {
    SkyFace face;
    const char* name;
  };
  const FaceFile files[] = {{SkyFace::front, "f.raw"}, {SkyFace::back, "b.raw"},  {SkyFace::left, "l.raw"},
                            {SkyFace::right, "r.raw"}, {SkyFace::top, "o.raw"}, {SkyFace::bottom, "earth.raw"}};
  for (const FaceFile& file : files) {
    const std::vector<std::uint8_t> pixels = renderFace(file.face);
    writeDataFile(runDir, std::string("sky/") + file.name, std::as_bytes(std::span(pixels)));
  }
}
