// The preview's loading and drawing.
#include "tools/preview/preview.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/console.h"
#include "base/data_file.h"
#include "base/error.h"
#include "model/model_file.h"
#include "model/part_directory.h"
#include "model/sculpt.h"
#include "model/sculpt_format.h"
#include "render/model_draw.h"

const PreviewView previewViews[previewViewCount] = {
    {"front", 0.0f, 10.0f},
    {"side", 90.0f, 10.0f},
    {"top", 0.0f, 89.0f},
    {"chase", 200.0f, 20.0f},  // from behind and above, about as the player sees the ship
};

namespace {

constexpr float fieldOfViewDegrees = 30.0f;
constexpr GLfloat background[3] = {0.19f, 0.22f, 0.27f};
constexpr std::size_t maxListBytes = 1u << 20;

std::vector<std::byte> readFile(const std::string& path, std::size_t limit) {
  DataFile file = readDataFile(path.c_str(), limit);
  if (file.status == DataRead::tooLarge) throw PreviewError(path + " is too large");
  if (!file.ok()) throw PreviewError("cannot open " + path);
  return std::move(file.bytes);
}

std::unique_ptr<SphereMesh> sculptedSphere(const std::string& recording, int detail) {
  auto mesh = std::make_unique<SphereMesh>();
  mesh->generate(detail);
  SculptRecorder recorder(mesh.get());
  if (!recorder.replay(recording)) throw PreviewError("cannot open the recording " + recording);
  return mesh;
}

// The game's errors carry a Windows-1251 text, or the file and what is wrong with it, or neither.
[[noreturn]] void rethrowAsPreviewError(const std::string& path) {
  try {
    throw;
  } catch (const GameError& failure) {
    if (!failure.file.empty()) throw PreviewError(failure.file + ": " + failure.reason);
    if (!failure.message) throw PreviewError(path + ": damaged or unreadable model file");
    std::string text = cp1251ToUtf8(failure.message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    throw PreviewError(path + ": " + text);
  }
}

void extend(PreviewBounds& b, const SphereMesh& mesh, float ox, float oy, float oz) {
  for (int i = 0; i < mesh.vertexCount; ++i) {
    const MeshVertex& v = mesh.vertices[static_cast<std::size_t>(i)];
    const float p[3] = {v.x + ox, v.y + oy, v.z + oz};
    for (int k = 0; k < 3; ++k) {
      if (!std::isfinite(p[k])) continue;
      b.low[k] = std::min(b.low[k], p[k]);
      b.high[k] = std::max(b.high[k], p[k]);
    }
  }
}

void extend(PreviewBounds& b, const ModelNode& node, float ox, float oy, float oz) {
  if (node.mesh) {
    const MeshPoint pivot = node.mesh->pivot();
    ox -= pivot.x, oy -= pivot.y, oz -= pivot.z;
    extend(b, *node.mesh, ox, oy, oz);
  }
  for (std::size_t i = 0; i < node.children.size() && i < node.attachments.size(); ++i)
    if (node.children[i])
      extend(b, *node.children[i], ox + node.attachments[i]->x, oy + node.attachments[i]->y, oz + node.attachments[i]->z);
}

}  // namespace

int defaultDetail(SubjectKind kind) { return kind == SubjectKind::recording ? 20 : 50; }

SubjectKind subjectKind(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    if (!std::filesystem::is_regular_file(std::filesystem::path(path) / "files.txt", error))
      throw PreviewError(path + " is a folder without files.txt");
    return SubjectKind::partDirectory;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw PreviewError("cannot open " + path);
  char head[modelfile::magic.size()] = {};
  in.read(head, sizeof head);
  const bool model = static_cast<std::size_t>(in.gcount()) == sizeof head && modelfile::magic == std::string_view(head, sizeof head);
  return model ? SubjectKind::modelFile : SubjectKind::recording;
}

std::vector<PreviewSubject> loadSubjects(const std::string& path, int detail) {
  const SubjectKind kind = subjectKind(path);
  if (detail <= 0) detail = defaultDetail(kind);
  detail = std::clamp(detail, 2, 360);
  const std::string stem = std::filesystem::path(path).lexically_normal().filename().string();
  std::vector<PreviewSubject> subjects;
  try {
    if (kind == SubjectKind::recording) {
      PreviewSubject s;
      s.name = stem;
      s.mesh = sculptedSphere(path, detail);
      subjects.push_back(std::move(s));
    } else if (kind == SubjectKind::partDirectory) {
      std::string directory = path;
      while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
      const std::string folder = std::filesystem::path(directory).filename().string();
      std::vector<std::string> entries;
      if (!parsePartList(readFile(directory + "/files.txt", maxPartListBytes), entries))
        throw PreviewError(directory + "/files.txt has a line longer than 80 characters");
      for (const std::string& entry : entries) {
        if (entry.empty()) continue;  // the empty entry is a plain sphere, no variant to review
        PreviewSubject s;
        s.name = folder + "-" + entry;
        std::replace(s.name.begin(), s.name.end(), '/', '_');
        s.mesh = sculptedSphere(directory + "/" + entry, partDetail(detail, 1.0f));
        s.pivotShift = true;
        subjects.push_back(std::move(s));
      }
      if (subjects.empty()) throw PreviewError(directory + "/files.txt lists no recording");
    } else {
      PreviewSubject s;
      s.name = stem;
      s.model = std::make_unique<Model>(path.c_str(), detail);
      if (!s.model->root) throw PreviewError(path + " holds no part");
      subjects.push_back(std::move(s));
    }
  } catch (const PreviewError&) {
    throw;
  } catch (...) {
    rethrowAsPreviewError(path);
  }
  return subjects;
}

PreviewBounds subjectBounds(const PreviewSubject& subject) {
  PreviewBounds b;
  if (subject.mesh) {
    const MeshPoint pivot = subject.pivotShift ? subject.mesh->pivot() : MeshPoint{0, 0, 0};
    extend(b, *subject.mesh, -pivot.x, -pivot.y, -pivot.z);
  }
  if (subject.model && subject.model->root) extend(b, *subject.model->root, 0, 0, 0);
  if (b.low[0] > b.high[0]) b = PreviewBounds{{-1, -1, -1}, {1, 1, 1}};
  if (subject.hasFloor) {
    b.low[1] = std::max(b.low[1], subject.floorHeight);
    b.high[1] = std::max(b.high[1], b.low[1]);
  }
  return b;
}

RgbPicture renderView(const PreviewSubject& subject, const PreviewView& view, int side) {
  const PreviewBounds b = subjectBounds(subject);
  const float centre[3] = {(b.low[0] + b.high[0]) / 2, (b.low[1] + b.high[1]) / 2, (b.low[2] + b.high[2]) / 2};
  float radius = 0.0f;
  for (int k = 0; k < 3; ++k) radius += (b.high[k] - b.low[k]) * (b.high[k] - b.low[k]) / 4;
  radius = std::max(std::sqrt(radius), 1e-3f);
  const double halfAngle = fieldOfViewDegrees / 2 * M_PI / 180.0;
  const double distance = radius / std::sin(halfAngle);
  const double yaw = view.yawDegrees * M_PI / 180.0, pitch = view.pitchDegrees * M_PI / 180.0;
  const double eye[3] = {centre[0] + distance * std::sin(yaw) * std::cos(pitch), centre[1] + distance * std::sin(pitch),
                         centre[2] + distance * std::cos(yaw) * std::cos(pitch)};

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(fieldOfViewDegrees, 1.0, std::max(distance - radius * 1.5, distance * 0.01), distance + radius * 1.5);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glViewport(0, 0, side, side);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glClearColor(background[0], background[1], background[2], 1.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // The render state the game draws its models with: depth, lighting with per-vertex colours as
  // the material, back faces culled. The light comes from the viewer's upper left.
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glEnable(GL_NORMALIZE);
  const GLfloat ambient[4] = {0.35f, 0.35f, 0.38f, 1.0f};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  const GLfloat lightDirection[4] = {-0.45f, 0.6f, 0.66f, 0.0f};  // eye frame
  const GLfloat lightColour[4] = {0.8f, 0.8f, 0.78f, 1.0f};
  const GLfloat black[4] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, lightDirection);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, lightColour);
  glLightfv(GL_LIGHT0, GL_SPECULAR, black);
  glEnable(GL_LIGHT0);
  for (GLenum light = GL_LIGHT1; light <= GL_LIGHT7; ++light) glDisable(light);

  gluLookAt(eye[0], eye[1], eye[2], centre[0], centre[1], centre[2], 0.0, 1.0, 0.0);
  if (subject.hasFloor) {
    // A plain floor around the foot, which also hides the open cut from above.
    const float reach = radius * 1.2f, y = subject.floorHeight;
    glColor3f(0.42f, 0.40f, 0.37f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex3f(centre[0] - reach, y, centre[2] - reach);
    glVertex3f(centre[0] - reach, y, centre[2] + reach);
    glVertex3f(centre[0] + reach, y, centre[2] + reach);
    glVertex3f(centre[0] + reach, y, centre[2] - reach);
    glEnd();
    // Keeps y >= floorHeight; the plane is taken in the frame current now, the subject's.
    const GLdouble keepAbove[4] = {0.0, 1.0, 0.0, -static_cast<GLdouble>(subject.floorHeight)};
    glClipPlane(GL_CLIP_PLANE0, keepAbove);
    glEnable(GL_CLIP_PLANE0);
  }
  if (subject.mesh) {
    glPushMatrix();
    if (subject.pivotShift) {
      const MeshPoint pivot = subject.mesh->pivot();
      glTranslatef(-pivot.x, -pivot.y, -pivot.z);
    }
    drawMesh(*subject.mesh);
    glPopMatrix();
  }
  if (subject.model) drawModel(*subject.model);

  RgbPicture picture;
  picture.width = picture.height = side;
  std::vector<std::uint8_t> bottomFirst(3 * static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, bottomFirst.data());
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(side);
  picture.pixels.resize(bottomFirst.size());
  for (int y = 0; y < side; ++y)
    std::copy_n(bottomFirst.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(side - 1 - y)),
                rowBytes, picture.pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y)));

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
  return picture;
}

RgbPicture renderSheet(const PreviewSubject& subject, int side) {
  RgbPicture sheet;
  sheet.width = side * previewViewCount;
  sheet.height = side;
  sheet.pixels.resize(3 * static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(side));
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(side);
  for (int v = 0; v < previewViewCount; ++v) {
    const RgbPicture one = renderView(subject, previewViews[v], side);
    for (int y = 0; y < side; ++y)
      std::copy_n(one.pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y)), rowBytes,
                  sheet.pixels.begin() +
                      static_cast<std::ptrdiff_t>(3 * (static_cast<std::size_t>(y) * sheet.width + side * v)));
  }
  return sheet;
}
