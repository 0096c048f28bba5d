// The two mountains, sculpted from the unit sphere. Units are the game's world units with the mesh
// origin 6 above the floor: the floor is y = -6 here and the ship flies at y = 2. Everything above
// the ship stays within 9 of the axis, inside the game's collision square whatever the instance's
// turn; the foothill spurs run out to about 20 below the ship's height.
#include <cmath>
#include <numbers>

#include "model/sculpt_format.h"
#include "tools/assetgen/assets.h"

namespace {

// The foot takes the slate floor's own grey-blue, so a mountain rises out of the floor instead of
// standing on it in a ring of another colour; scree leads up to the rock, which is grey with warm
// and cool flanks. Every colour keeps red close to green and blue: the rock must never pass for
// the orange sky behind it.
constexpr Colour foot{0.30f, 0.32f, 0.36f, 1.0f};
constexpr Colour scree{0.42f, 0.42f, 0.44f, 1.0f};
constexpr Colour rock{0.46f, 0.42f, 0.38f, 1.0f};
constexpr Colour coolRock{0.38f, 0.40f, 0.44f, 1.0f};
constexpr Colour darkRock{0.26f, 0.25f, 0.26f, 1.0f};
constexpr Colour snow{0.97f, 0.97f, 1.0f, 1.0f};

// A spur: a ridge pushed out from the core along an azimuth, falling to its tip below the floor.
// Every spur starts with a ball of radius 6 centred 3 out at height -3.2 and ends at height -7.
struct Spur {
  float azimuthDegrees;  // from +x towards +z
  float tipDistance;     // horizontal distance of the last ball's centre from the axis
  float tipRadius;
};
constexpr float spurStartHeight = -3.2f, spurStartRadius = 6.0f, spurTipHeight = -7.0f;

BrushPoint along(float azimuthDegrees, float distance, float height, float radius) {
  float a = azimuthDegrees * std::numbers::pi_v<float> / 180.0f;
  return {distance * std::cos(a), height, distance * std::sin(a), radius};
}

// Paints everything on the far side of the plane through `point` facing `direction` (a unit
// vector): a ball so large that its rim is nearly flat and its colour nearly full.
void paintBeyond(sculpt::Writer& w, MeshPoint point, MeshPoint direction, Colour colour) {
  constexpr float reach = 400.0f;
  w.paint({point.x + direction.x * reach, point.y + direction.y * reach, point.z + direction.z * reach, reach}, colour);
}

// A push stroke laid as a chain of short strokes. A stroke's balls lie |delta|^2 / (4 detail)
// apart, so a long stroke at a low detail would leave gaps that drag no vertices; links of at
// most 1.5 units keep the balls close at every detail.
void dragStroke(sculpt::Writer& w, BrushPoint from, BrushPoint to) {
  float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
  int links = static_cast<int>(std::ceil(std::sqrt(dx * dx + dy * dy + dz * dz) / 1.5f));
  if (links < 1) links = 1;
  auto at = [&](int i) {
    float t = static_cast<float>(i) / static_cast<float>(links);
    return BrushPoint{from.x + t * dx, from.y + t * dy, from.z + t * dz, from.radius + t * (to.radius - from.radius)};
  };
  for (int i = 0; i < links; ++i) w.pushStroke(at(i), at(i + 1));
}

void sculptSpurs(sculpt::Writer& w, const Spur* spurs, int count) {
  for (int i = 0; i < count; ++i) {
    const Spur& s = spurs[i];
    dragStroke(w, along(s.azimuthDegrees, 3.0f, spurStartHeight, spurStartRadius),
                 along(s.azimuthDegrees, s.tipDistance, spurTipHeight, s.tipRadius));
  }
}

// Dark gullies from the foot of the peaks down over the spurs to the scree, every 72 degrees from
// the azimuth given, so the rock runs on down the slopes instead of ending in a ring.
void paintGullies(sculpt::Writer& w, float firstAzimuthDegrees) {
  for (int i = 0; i < 5; ++i) {
    float azimuth = firstAzimuthDegrees + 72.0f * static_cast<float>(i);
    BrushPoint top = along(azimuth, 5.0f, 3.0f, 2.2f), foot = along(azimuth, 16.0f, -4.0f, 3.0f);
    w.paintStroke(top, rock, foot, darkRock);
  }
}

// The rock: the whole mountain in one colour, a flank beyond the plane through `flankPoint` facing
// `flankFacing` in the other, and the gullies.
void paintRock(sculpt::Writer& w, Colour body, MeshPoint flankPoint, MeshPoint flankFacing, Colour flank,
               float firstGullyAzimuthDegrees) {
  w.paint({0.0f, -60.0f, 0.0f, 88.0f}, body);
  paintBeyond(w, flankPoint, flankFacing, flank);
  paintGullies(w, firstGullyAzimuthDegrees);
}

// The core: the unit sphere blown up from a centre below its middle, so the upper side, which
// the peaks drag upwards, keeps more of the vertices.
void sculptCore(sculpt::Writer& w) { w.push({0.0f, -0.8f, 0.0f, 7.0f}); }

// A peak: balls rising from inside the body and narrowing, quickly at first and then slowly, so
// the flanks are steep near the summit and spread out lower down instead of standing as a cone.
void sculptPeak(sculpt::Writer& w, BrushPoint foot, BrushPoint shoulder, BrushPoint summit) {
  dragStroke(w, foot, shoulder);
  dragStroke(w, shoulder, summit);
}

// mountain4: a broad massif with a high main peak and two lower shoulders.
sculpt::Writer mountain4() {
  sculpt::Writer w;
  sculptCore(w);
  sculptPeak(w, {0.0f, 2.0f, 0.0f, 6.5f}, {0.2f, 9.0f, -0.3f, 3.6f}, {0.4f, 22.0f, -0.6f, 0.9f});
  sculptPeak(w, {2.0f, 2.0f, 2.0f, 4.0f}, {3.0f, 7.0f, 2.5f, 2.5f}, {4.5f, 13.0f, 3.5f, 1.0f});
  sculptPeak(w, {-2.0f, 1.0f, -1.0f, 4.2f}, {-3.0f, 6.0f, -2.2f, 2.8f}, {-4.0f, 10.5f, -3.5f, 1.2f});
  // Saddles between the peaks.
  dragStroke(w, {0.3f, 14.0f, -0.4f, 1.8f}, {4.0f, 10.0f, 3.0f, 1.6f});
  dragStroke(w, {0.2f, 12.0f, -0.4f, 1.8f}, {-3.8f, 8.5f, -3.2f, 1.8f});
  // Foothill spurs all round; their tips stand below the floor.
  const Spur spurs[] = {
      {0.0f, 20.5f, 3.5f}, {30.0f, 18.0f, 3.2f}, {60.0f, 19.5f, 3.5f}, {90.0f, 20.5f, 3.5f},
      {120.0f, 17.5f, 3.2f}, {150.0f, 19.5f, 3.5f}, {180.0f, 20.5f, 3.5f}, {210.0f, 17.5f, 3.2f},
      {240.0f, 19.5f, 3.5f}, {270.0f, 20.5f, 3.5f}, {300.0f, 18.0f, 3.2f}, {330.0f, 19.5f, 3.5f},
  };
  sculptSpurs(w, spurs, 12);

  // Colour: rock with a cooler flank, gullies, scree and the floor's grey at the foot, snow above 10.
  paintRock(w, rock, {-1.0f, 0.0f, -1.0f}, {-0.6f, 0.0f, -0.8f}, coolRock, 20.0f);
  paintBeyond(w, {0.0f, -1.5f, 0.0f}, {0.3f, -0.954f, 0.0f}, scree);
  paintBeyond(w, {0.0f, -3.6f, 0.0f}, {0.0f, -1.0f, 0.0f}, foot);
  paintBeyond(w, {0.0f, 10.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, snow);
  paintBeyond(w, {4.5f, 7.5f, 3.5f}, {0.2f, 0.96f, 0.2f}, snow);
  // Creases down the flanks: dark along the middle, the surrounding colour at the rim.
  w.paintStroke({0.3f, 14.0f, -0.5f, 1.4f}, snow, {3.0f, 8.0f, -3.0f, 2.0f}, darkRock);
  w.paintStroke({0.3f, 13.0f, -0.5f, 1.4f}, snow, {-3.5f, 6.0f, 2.0f, 2.0f}, darkRock);
  w.paintStroke({3.0f, 8.0f, -3.0f, 2.0f}, darkRock, {6.5f, 1.0f, -6.0f, 2.5f}, rock);
  return w;
}

// mountain5: a steeper, twin-peaked ridge running north-east to south-west.
sculpt::Writer mountain5() {
  sculpt::Writer w;
  sculptCore(w);
  sculptPeak(w, {1.0f, 2.0f, 1.0f, 5.5f}, {1.8f, 10.0f, 1.5f, 3.0f}, {2.5f, 22.0f, 2.0f, 0.9f});
  sculptPeak(w, {-1.0f, 2.0f, -1.0f, 5.5f}, {-2.0f, 9.0f, -1.8f, 3.0f}, {-3.0f, 18.0f, -2.5f, 1.1f});
  dragStroke(w, {2.5f, 16.0f, 2.0f, 1.5f}, {-3.0f, 13.0f, -2.5f, 1.7f});
  const Spur spurs[] = {
      {15.0f, 19.5f, 3.5f}, {45.0f, 20.5f, 3.5f}, {75.0f, 17.5f, 3.2f}, {105.0f, 19.5f, 3.5f},
      {135.0f, 17.5f, 3.2f}, {165.0f, 20.5f, 3.5f}, {195.0f, 19.5f, 3.5f}, {225.0f, 20.5f, 3.5f},
      {255.0f, 18.0f, 3.2f}, {285.0f, 19.5f, 3.5f}, {315.0f, 17.5f, 3.2f}, {345.0f, 20.0f, 3.5f},
  };
  sculptSpurs(w, spurs, 12);

  paintRock(w, coolRock, {1.0f, 0.0f, -1.0f}, {0.7f, 0.0f, -0.7f}, rock, 55.0f);
  paintBeyond(w, {0.0f, -1.8f, 0.0f}, {-0.3f, -0.954f, 0.2f}, scree);
  paintBeyond(w, {0.0f, -3.8f, 0.0f}, {0.0f, -1.0f, 0.0f}, foot);
  paintBeyond(w, {0.0f, 11.0f, 0.0f}, {0.15f, 0.98f, 0.1f}, snow);
  w.paintStroke({2.5f, 15.0f, 2.0f, 1.3f}, snow, {6.0f, 6.0f, -1.0f, 2.0f}, darkRock);
  w.paintStroke({-3.0f, 12.0f, -2.5f, 1.3f}, snow, {-6.0f, 4.0f, 2.5f, 2.0f}, darkRock);
  w.paintStroke({0.0f, 12.0f, 0.0f, 1.2f}, snow, {1.0f, 5.0f, 6.0f, 2.0f}, rock);
  return w;
}

}  // namespace

void writeMountains(const std::filesystem::path& runDir) {
  writeDataFile(runDir, "mountain/_mountain4", mountain4().bytes());
  writeDataFile(runDir, "mountain/_mountain5", mountain5().bytes());
}
