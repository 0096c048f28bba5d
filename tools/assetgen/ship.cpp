// The ship: the model file "vorizozadi1" and its part directories under "ship/", each with a
// files.txt of variants. Units are world units; a part's frame has +z towards the nose, +y up and
// +x to the left wing (the game turns the ship by 180° so the nose points away from the eye).
// The parts are designed at a hull about 3.2 long with wings spanning about 3.8, and written
// 2.3 times that size (shipScale): about 105 pixels across in an 800 × 600 window, 20 ahead of
// the eye, still inside the bubble's last sizes (it grows to 10) and, spanning about 8.7, no wider
// than half a mountain's collision square, so a wing never seems to pass through much rock that
// the hit test, which takes the ship's position only, lets it miss.
//
// Every part starts as the unit sphere. Long shapes are pulled out of it with push strokes; flat
// faces are pressed in with balls so large that their surface is nearly a plane. The ship is
// drawn unlit, its colours scaling the mirrored scene, so the facets are kept large and flat
// (each mirrors one clear piece of the world). The livery works with that: pale tops that show the
// bright sky they mirror, near-black trim along the edges, sides and belly that frames them
// against the floor, and pale-gold nozzles at the back, which face the eye and mirror the bright
// horizon behind it.
//
// Every variant of a part declares the same attachment points, so any assembly reads the same
// model file. Every part sits on the ship's axis and the wings are one piece, so no draw can pair
// two different sides.
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "model/model_file.h"
#include "model/sculpt_format.h"
#include "tools/assetgen/assets.h"

namespace {

constexpr float shipScale = 2.3f;

// A sculpt recording written at the ship's scale: the unit sphere is first blown up to
// shipScale from its centre, and every position, radius and attachment point after that is
// multiplied by it, so each part keeps its designed shape at the larger size.
class Sculptor {
 public:
  Sculptor() { w.push({0.0f, 0.0f, 0.0f, shipScale}); }
  Sculptor& push(BrushPoint p) { return w.push(scaled(p)), *this; }
  Sculptor& pushStroke(BrushPoint from, BrushPoint to) { return w.pushStroke(scaled(from), scaled(to)), *this; }
  Sculptor& paint(BrushPoint p, Colour k) { return w.paint(scaled(p), k), *this; }
  Sculptor& attachments(std::span<const AttachmentPoint> points) {
    std::vector<AttachmentPoint> at(points.begin(), points.end());
    for (AttachmentPoint& a : at) a.x *= shipScale, a.y *= shipScale, a.z *= shipScale;
    return w.attachments(at), *this;
  }
  const std::vector<std::byte>& bytes() const { return w.bytes(); }

 private:
  static BrushPoint scaled(BrushPoint p) { return {p.x * shipScale, p.y * shipScale, p.z * shipScale, p.radius * shipScale}; }
  sculpt::Writer w;
};

struct Vec {
  float x, y, z;
};

float length(Vec v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Vec unit(Vec v) {
  const float l = length(v);
  return {v.x / l, v.y / l, v.z / l};
}

// A ball this large is flat to within 0.01 across the ship's largest part.
constexpr float pressRadius = 200.0f;

// Presses everything beyond the plane {p : direction · p = distance} back onto it (direction
// normalised here). The plane must leave the part's centre inside, and no face pressed earlier
// whose normal points against this direction may reach beyond it, or that face folds out past
// the plane: the cuts below are ordered so.
void press(Sculptor& w, Vec direction, float distance) {
  Vec d = unit(direction);
  float reach = pressRadius + distance;
  w.push({d.x * reach, d.y * reach, d.z * reach, pressRadius});
}

// Presses the part into a prism about the z axis: `sides` faces, `distance` from the axis, the
// first facing +x.
void pressAround(Sculptor& w, int sides, float distance, float turnDegrees = 0.0f) {
  for (int i = 0; i < sides; ++i) {
    float a = (turnDegrees + 360.0f * static_cast<float>(i) / static_cast<float>(sides)) * 3.14159265f / 180.0f;
    press(w, {std::cos(a), std::sin(a), 0.0f}, distance);
  }
}

// Paints everything beyond the plane through `point` facing `direction` with the colour: the
// rim of a ball so large that its colour is full wherever it reaches.
void paintBeyond(Sculptor& w, Vec point, Vec direction, Colour colour) {
  constexpr float reach = 400.0f;
  Vec d = unit(direction);
  w.paint({point.x + d.x * reach, point.y + d.y * reach, point.z + d.z * reach, reach}, colour);
}

// Paints the whole part.
void paintAll(Sculptor& w, Colour colour) { paintBeyond(w, {0.0f, -10.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, colour); }

// The plane and then its mirror image across x = 0: the ship's two sides.
void pressMirrored(Sculptor& w, Vec direction, float distance) {
  press(w, direction, distance);
  press(w, {-direction.x, direction.y, direction.z}, distance);
}

void paintMirrored(Sculptor& w, Vec point, Vec direction, Colour colour) {
  paintBeyond(w, point, direction, colour);
  paintBeyond(w, {-point.x, point.y, point.z}, {-direction.x, direction.y, direction.z}, colour);
}

// A block standing on the origin: `halfWidth` to either side, `height` above, cut flat below.
void pressStanding(Sculptor& w, float halfWidth, float height) {
  pressMirrored(w, {1.0f, 0.0f, 0.0f}, halfWidth);
  press(w, {0.0f, -1.0f, 0.0f}, 0.0f);
  press(w, {0.0f, 1.0f, 0.0f}, height);
}

void mirrorStroke(Sculptor& w, BrushPoint from, BrushPoint to) {
  w.pushStroke(from, to);
  w.pushStroke({-from.x, from.y, from.z, from.radius}, {-to.x, to.y, to.z, to.radius});
}

constexpr Colour silver{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Colour paleBlue{0.86f, 0.93f, 1.0f, 1.0f};
constexpr Colour trim{0.12f, 0.12f, 0.15f, 1.0f};
constexpr Colour glass{0.30f, 0.42f, 0.60f, 1.0f};
constexpr Colour red{1.0f, 0.22f, 0.16f, 1.0f};
constexpr Colour gold{1.0f, 0.80f, 0.35f, 1.0f};
constexpr Colour nozzle{1.0f, 0.95f, 0.75f, 1.0f};
constexpr Colour flameHot{1.0f, 0.90f, 0.60f, 1.0f};
constexpr Colour flameBlue{0.70f, 0.90f, 1.0f, 1.0f};

// The nozzle faces look back and a little up. Facing straight back, they would mirror the floor
// behind the eye (which looks down at the ship); leant up by about 20° they mirror the bright sky
// just above the horizon behind it.
constexpr Vec nozzleFacing{0.0f, 0.36f, -1.0f};

// Where the hull's children hang, in the hull's frame; every hull variant declares these.
const AttachmentPoint hullPoints[4] = {
    {0.0f, 0.22f, 0.45f, 0.0f},    // cockpit, on the back ahead of the wings
    {0.0f, -0.06f, -0.25f, 0.0f},  // wings, through the lower hull
    {0.0f, 0.20f, -0.80f, 0.0f},   // fin, on the back behind the cockpit
    {0.0f, 0.0f, -1.10f, 0.0f},    // engine, on the flat stern
};
const AttachmentPoint enginePoints[1] = {{0.0f, 0.0f, -0.40f, 0.0f}};  // the flame, at the nozzle

// The hull's stern and the cuts shared by both hull variants.
void hullBody(Sculptor& w, float halfWidth, float noseLength) {
  w.pushStroke({0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, noseLength, 0.40f});
  w.pushStroke({0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -0.70f, 0.70f});
  pressMirrored(w, {1.0f, 0.0f, 0.0f}, halfWidth);
  press(w, {0.0f, 1.0f, 0.0f}, 0.22f);
  press(w, {0.0f, -1.0f, 0.0f}, 0.20f);
  press(w, {0.0f, 0.0f, -1.0f}, 1.10f);  // the flat stern the engine sits on
  // Chamfered edges along the back and the belly.
  pressMirrored(w, {1.0f, 1.2f, 0.0f}, 0.42f);
  pressMirrored(w, {1.0f, -1.0f, 0.0f}, 0.40f);
}

// The hull's dark trim: the sides, the belly and the stern plate, leaving the back and its
// chamfers pale. Painted after the nose cuts, which change where the sides are.
void hullTrim(Sculptor& w, float halfWidth) {
  const float edge = halfWidth - 0.07f;
  paintMirrored(w, {edge, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, trim);
  paintBeyond(w, {0.0f, -0.05f, 0.0f}, {0.0f, -1.0f, 0.0f}, trim);
  paintBeyond(w, {0.0f, 0.0f, -1.06f}, {0.0f, 0.0f, -1.0f}, trim);
}

// The hull's colour, its trim, the colour of the nose beyond the plane through `nosePoint` facing
// `noseFacing`, and the points its children hang from.
void hullFinish(Sculptor& w, float halfWidth, Colour body, Vec nosePoint, Vec noseFacing, Colour nose) {
  paintAll(w, body);
  hullTrim(w, halfWidth);
  paintBeyond(w, nosePoint, noseFacing, nose);
  w.attachments(hullPoints);
}

// "arrow": a long wedge nose.
Sculptor hullArrow() {
  Sculptor w;
  hullBody(w, 0.42f, 1.35f);
  press(w, {0.0f, 1.0f, 0.22f}, 0.36f);   // the back slopes down to the nose
  press(w, {0.0f, -1.0f, 0.14f}, 0.28f);  // and the belly up
  pressMirrored(w, {1.0f, 0.0f, 0.25f}, 0.48f);   // the sides close in
  hullFinish(w, 0.42f, silver, {0.0f, 0.0f, 1.20f}, {0.0f, 0.0f, 1.0f}, red);  // a red nose tip
  return w;
}

// "wedge": shorter and broader, with a blunt chin.
Sculptor hullWedge() {
  Sculptor w;
  hullBody(w, 0.46f, 1.15f);
  press(w, {0.0f, 1.0f, 0.30f}, 0.40f);
  press(w, {0.0f, 0.0f, 1.0f}, 1.45f);  // the blunt chin
  pressMirrored(w, {1.0f, 0.0f, 0.40f}, 0.62f);
  hullFinish(w, 0.46f, paleBlue, {0.0f, 0.0f, 1.05f}, {0.0f, 0.2f, 1.0f}, gold);
  return w;
}

// "fighter": a faceted canopy with a raked windscreen.
Sculptor cockpitFighter() {
  Sculptor w;
  pressStanding(w, 0.19f, 0.26f);
  pressMirrored(w, {0.7f, 1.0f, 0.0f}, 0.25f);
  press(w, {0.0f, 0.8f, 0.6f}, 0.30f);    // windscreen
  press(w, {0.0f, 0.5f, -0.87f}, 0.42f);  // rear deck
  paintAll(w, glass);
  paintBeyond(w, {0.0f, 0.04f, 0.0f}, {0.0f, -1.0f, 0.0f}, trim);  // the frame along its foot
  return w;
}

// "bubble": a rounder canopy with more, smaller facets.
Sculptor cockpitBubble() {
  Sculptor w;
  pressStanding(w, 0.21f, 0.30f);
  pressMirrored(w, {1.0f, 1.0f, 0.0f}, 0.30f);
  pressMirrored(w, {1.0f, 2.0f, 0.0f}, 0.31f);
  press(w, {0.0f, 1.0f, 1.0f}, 0.36f);
  press(w, {0.0f, 1.0f, 2.2f}, 0.45f);
  press(w, {0.0f, 1.0f, -1.0f}, 0.36f);
  press(w, {0.0f, 1.0f, -2.2f}, 0.45f);
  paintAll(w, glass);
  paintBeyond(w, {0.0f, 0.05f, 0.0f}, {0.0f, -1.0f, 0.0f}, trim);  // the frame along its foot
  return w;
}

// How far behind the wing's centre an engine pod's nozzle lies: past the trailing edge.
float podBackFor(float trailingDistance) { return trailingDistance + 0.28f; }

// Both wing panels, sculpted in one piece so the two sides always match: arms pulled out of the
// sphere, pressed thin, their leading edges swept back and their trailing edges cut straight.
// An engine pod runs along each wing at `podOut` from the axis, standing above and below the
// panel and reaching back past its trailing edge to a flat nozzle. The panels and pods are pale
// with a dark leading edge and bright nozzles.
void wingPanel(Sculptor& w, Vec tip, float tipRadius, float leadingSweep, float trailingDistance, float podOut) {
  mirrorStroke(w, {0.3f, 0.0f, 0.0f, 0.70f}, {tip.x, tip.y, tip.z, tipRadius});
  press(w, {0.0f, 1.0f, 0.0f}, 0.06f);
  press(w, {0.0f, -1.0f, 0.0f}, 0.06f);
  pressMirrored(w, {leadingSweep, 0.0f, 1.0f}, 0.62f);
  press(w, {0.0f, 0.0f, -1.0f}, trailingDistance);
  const float podFront = 0.62f - leadingSweep * podOut + 0.05f;  // just behind the leading edge
  const float podBack = podBackFor(trailingDistance);
  mirrorStroke(w, {podOut, 0.0f, podFront, 0.10f}, {podOut, 0.0f, podFront - 0.25f, 0.17f});
  mirrorStroke(w, {podOut, 0.0f, podFront - 0.25f, 0.17f}, {podOut, 0.0f, -podBack - 0.2f, 0.17f});
  press(w, nozzleFacing, podBack);
}

void wingLivery(Sculptor& w, Colour panel, Colour tipColour, float leadingSweep, float trailingDistance, float tipFrom) {
  paintAll(w, panel);
  paintMirrored(w, {0.0f, 0.0f, 0.55f}, {leadingSweep, 0.0f, 1.0f}, trim);
  paintMirrored(w, {tipFrom, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, tipColour);
  const float nozzleFrom = podBackFor(trailingDistance) - 0.04f;
  paintBeyond(w, {0.0f, 0.0f, -nozzleFrom * length(nozzleFacing)}, nozzleFacing, nozzle);
}

Sculptor wingsSwept() {
  Sculptor w;
  wingPanel(w, {1.75f, 0.0f, -0.55f}, 0.24f, 0.55f, 0.75f, 0.95f);
  wingLivery(w, silver, red, 0.55f, 0.75f, 1.50f);
  return w;
}

Sculptor wingsDelta() {
  Sculptor w;
  wingPanel(w, {1.45f, 0.0f, -0.85f}, 0.16f, 1.30f, 0.90f, 0.80f);
  wingLivery(w, paleBlue, gold, 1.30f, 0.90f, 1.30f);
  return w;
}

// Fins stand on their root at the origin and rise along +y.
Sculptor finRaked() {
  Sculptor w;
  pressStanding(w, 0.04f, 0.55f);
  press(w, {0.0f, 0.8f, 0.6f}, 0.12f);     // raked leading edge
  press(w, {0.0f, -0.3f, -1.0f}, 0.45f);   // trailing edge
  paintAll(w, silver);
  paintBeyond(w, {0.0f, 0.36f, 0.0f}, {0.0f, 1.0f, 0.0f}, red);
  return w;
}

Sculptor finTall() {
  Sculptor w;
  pressStanding(w, 0.045f, 0.70f);
  press(w, {0.0f, 0.6f, 0.8f}, 0.10f);
  press(w, {0.0f, 0.0f, -1.0f}, 0.40f);
  paintAll(w, paleBlue);
  paintBeyond(w, {0.0f, 0.50f, 0.0f}, {0.0f, 1.0f, 0.0f}, gold);
  return w;
}

// The engine hangs from the stern and reaches back along -z to its nozzle: a dark casing round a
// bright nozzle face.
// Either engine's front against the stern and its nozzle face, its colours and the flame's point.
void engineEnds(Sculptor& w) {
  press(w, {0.0f, 0.0f, 1.0f}, 0.10f);
  press(w, nozzleFacing, 0.40f);
  paintAll(w, trim);
  paintBeyond(w, {0.0f, 0.0f, -0.37f * length(nozzleFacing)}, nozzleFacing, nozzle);
  w.attachments(enginePoints);
}

Sculptor engineOctagon() {
  Sculptor w;
  pressAround(w, 8, 0.27f, 22.5f);
  engineEnds(w);
  return w;
}

Sculptor engineSquare() {
  Sculptor w;
  pressAround(w, 4, 0.26f);
  pressAround(w, 4, 0.32f, 45.0f);
  engineEnds(w);
  return w;
}

// The exhaust: an octagonal plume tapering behind the nozzle, hottest there and dimming along its
// length. The bar is cut to length before it is tapered, so no press reaches the nozzle face.
Sculptor flame(Colour colour, float length) {
  Sculptor w;
  pressAround(w, 8, 0.20f, 22.5f);
  press(w, {0.0f, 0.0f, 1.0f}, 0.0f);
  press(w, {0.0f, 0.0f, -1.0f}, length);
  for (int i = 0; i < 8; ++i) {
    float a = (22.5f + 45.0f * static_cast<float>(i)) * 3.14159265f / 180.0f;
    press(w, {std::cos(a), std::sin(a), -0.30f}, 0.196f);
  }
  w.paint({0.0f, 0.0f, -length - 1.0f, length + 1.0f}, colour);
  return w;
}

struct Part {
  const char* directory;
  std::vector<std::pair<const char*, Sculptor>> variants;
};

std::string listOf(const Part& part) {
  std::string list;
  for (const auto& [name, recording] : part.variants) {
    if (!list.empty()) list += '\n';
    list += name;  // no line feed after the last: it would add an empty variant
  }
  return list;
}

}  // namespace

void writeShip(const std::filesystem::path& runDir) {
  const Part parts[] = {
      {"ship/hull", {{"arrow", hullArrow()}, {"wedge", hullWedge()}}},
      {"ship/cockpit", {{"fighter", cockpitFighter()}, {"bubble", cockpitBubble()}}},
      {"ship/wings", {{"swept", wingsSwept()}, {"delta", wingsDelta()}}},
      {"ship/fin", {{"raked", finRaked()}, {"tall", finTall()}}},
      {"ship/engine", {{"octagon", engineOctagon()}, {"square", engineSquare()}}},
      {"ship/flame", {{"hot", flame(flameHot, 0.45f)}, {"blue", flame(flameBlue, 0.6f)}}},
  };
  for (const Part& part : parts) {
    const std::string list = listOf(part);
    writeDataFile(runDir, std::string(part.directory) + "/files.txt",
                  std::span(reinterpret_cast<const std::byte*>(list.data()), list.size()));
    for (const auto& [name, recording] : part.variants)
      writeDataFile(runDir, std::string(part.directory) + "/" + name, recording.bytes());
  }

  // The tree, depth first: each part's children follow it in the order of its attachment points.
  modelfile::Writer model;
  model.node("ship/hull", 1.0f)
      .node("ship/cockpit", 0.6f)
      .node("ship/wings", 1.0f)
      .node("ship/fin", 0.5f)
      .node("ship/engine", 0.6f)
      .node("ship/flame", 0.4f);
  writeDataFile(runDir, "vorizozadi1", model.bytes());
}
