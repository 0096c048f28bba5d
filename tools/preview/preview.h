// The model preview: loads a sculpt recording, a part directory or a model file through the
// game's own mesh, sculpt and model code and draws it with the game's drawing code from a few
// fixed angles into pictures. Loading needs no GL; drawing needs a current GL context whose
// drawable is at least as large as the picture.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/mesh.h"
#include "model/model.h"
#include "tools/preview/png.h"

enum class SubjectKind {
  recording,      // a sculpt recording: one sphere sculpted by it, like a mountain
  partDirectory,  // a folder with files.txt: every variant it lists, each a part of its own
  modelFile,      // a "C3DOBJECT" file: the whole tree with the variants the random draws pick
};

// What to draw: one mesh, or a model tree.
struct PreviewSubject {
  std::string name;                  // names the picture: "_mountain4", "hull-arrow", "vorizozadi1"
  std::unique_ptr<SphereMesh> mesh;  // a recording or a part variant
  std::unique_ptr<Model> model;      // a model file
  bool pivotShift = false;           // a part is drawn shifted by minus its pivot, a mountain is not
  bool hasFloor = false;             // cut away everything below floorHeight, as a floor hides it
  float floorHeight = 0.0f;          // in the subject's own frame: -6 for a mountain in the game
};

// A camera on a circle around the subject: turned `yawDegrees` about +y from +z (the ship's
// nose) and raised `pitchDegrees` towards +y, always looking at the subject's centre.
struct PreviewView {
  const char* name;
  float yawDegrees;
  float pitchDegrees;
};
inline constexpr int previewViewCount = 4;
extern const PreviewView previewViews[previewViewCount];  // front, side, top, chase

// The sphere detail used when none is asked for: the game's landscape detail for a recording,
// its ship detail for parts and model files.
int defaultDetail(SubjectKind kind);

// Which of the three a path holds; throws PreviewError when it is none of them.
SubjectKind subjectKind(const std::string& path);

// Builds what the path holds at the sphere detail given (the model's detail for a model file,
// whose parts scale it). Paths inside model files and recordings are relative to the working
// directory, as in the game. Draws the variants from the shared random sequence as it stands.
// Throws PreviewError with a message for anything it cannot load.
std::vector<PreviewSubject> loadSubjects(const std::string& path, int detail);

struct PreviewBounds {
  float low[3] = {1e30f, 1e30f, 1e30f};
  float high[3] = {-1e30f, -1e30f, -1e30f};
};
// The box around every vertex, placed the way drawing places it (above the floor, if it has one).
PreviewBounds subjectBounds(const PreviewSubject& subject);

// Draws one view into the lower-left side × side pixels of the back buffer and reads it back.
// Puts back every GL state it changes.
RgbPicture renderView(const PreviewSubject& subject, const PreviewView& view, int side);
// Every view, left to right in the order of previewViews, in one picture.
RgbPicture renderSheet(const PreviewSubject& subject, int side);

class PreviewError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
