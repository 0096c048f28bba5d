// What each drawing function of a step leaves behind: started once from the window's fixed state
// and once from that state turned about (every switch flipped, other factors and functions, a
// colour, a bound texture), it leaves every piece of state it was handed as it found it, but for
// what it is meant to set.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "game/frame.h"
#include "game/ship.h"
#include "game/state.h"
#include "render/cubemap.h"
#include "render/floor.h"
#include "render/skybox.h"
#include "render/stars.h"
#include "tests/game/empty_field.h"
#include "tests/support/gl_context.h"
#include "ui/font.h"

// Mesa's driver is unloaded at exit with its allocations still held; this program only checks
// addresses under the sanitizers.
extern "C" __attribute__((used)) const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr int side = 128;

const GLenum switches[] = {GL_BLEND, GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST, GL_CULL_FACE, GL_COLOR_MATERIAL,
                           GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_CUBE_MAP_ARB,
                           GL_NORMALIZE, GL_LIGHT0, GL_LIGHT1, GL_FOG, GL_ALPHA_TEST, GL_SCISSOR_TEST};
const char* const switchNames[] = {"blend", "lighting", "texture 2D", "depth test", "culling", "colour material",
                                   "s generation", "t generation", "r generation", "cube map", "normalize",
                                   "light 0", "light 1", "fog", "alpha test", "scissor test"};

struct Item {
  std::string name;
  std::vector<double> value;
};

std::vector<double> integers(GLenum what, int count = 1) {
  std::vector<GLint> v(static_cast<std::size_t>(count));
  glGetIntegerv(what, v.data());
  return {v.begin(), v.end()};
}

std::vector<double> floats(GLenum what, int count) {
  std::vector<GLfloat> v(static_cast<std::size_t>(count));
  glGetFloatv(what, v.data());
  return {v.begin(), v.end()};
}

// The state a drawing function could leak into the next pass.
std::vector<Item> capture() {
  std::vector<Item> items;
  for (std::size_t i = 0; i < std::size(switches); ++i)
    items.push_back({switchNames[i], {static_cast<double>(glIsEnabled(switches[i]))}});
  items.push_back({"vertex array", {static_cast<double>(glIsEnabled(GL_VERTEX_ARRAY))}});
  items.push_back({"normal array", {static_cast<double>(glIsEnabled(GL_NORMAL_ARRAY))}});
  items.push_back({"colour array", {static_cast<double>(glIsEnabled(GL_COLOR_ARRAY))}});
  items.push_back({"texture coordinate array", {static_cast<double>(glIsEnabled(GL_TEXTURE_COORD_ARRAY))}});
  items.push_back({"blend source", integers(GL_BLEND_SRC)});
  items.push_back({"blend destination", integers(GL_BLEND_DST)});
  items.push_back({"depth function", integers(GL_DEPTH_FUNC)});
  items.push_back({"depth writes", integers(GL_DEPTH_WRITEMASK)});
  items.push_back({"matrix mode", integers(GL_MATRIX_MODE)});
  items.push_back({"modelview stack", integers(GL_MODELVIEW_STACK_DEPTH)});
  items.push_back({"projection stack", integers(GL_PROJECTION_STACK_DEPTH)});
  items.push_back({"attribute stack", integers(GL_ATTRIB_STACK_DEPTH)});
  items.push_back({"client attribute stack", integers(GL_CLIENT_ATTRIB_STACK_DEPTH)});
  items.push_back({"bound 2D texture", integers(GL_TEXTURE_BINDING_2D)});
  items.push_back({"shade model", integers(GL_SHADE_MODEL)});
  items.push_back({"front face", integers(GL_FRONT_FACE)});
  items.push_back({"culled face", integers(GL_CULL_FACE_MODE)});
  items.push_back({"active texture unit", integers(GL_ACTIVE_TEXTURE_ARB)});
  items.push_back({"client texture unit", integers(GL_CLIENT_ACTIVE_TEXTURE_ARB)});
  items.push_back({"viewport", integers(GL_VIEWPORT, 4)});
  items.push_back({"current colour", floats(GL_CURRENT_COLOR, 4)});
  items.push_back({"modelview matrix", floats(GL_MODELVIEW_MATRIX, 16)});
  items.push_back({"projection matrix", floats(GL_PROJECTION_MATRIX, 16)});
  GLint envMode = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
  items.push_back({"texture environment", {static_cast<double>(envMode)}});
  return items;
}

// The window's state, as a step finds it: GL's defaults with the fixed state and the floor's depth
// function, the window's view, identity model-view.
void windowState() {
  for (GLenum s : switches) glDisable(s);
  setFixedGlState();
  glBlendFunc(GL_ONE, GL_ZERO);
  glDepthFunc(GL_LEQUAL);
  glShadeModel(GL_SMOOTH);
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, 0);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  reshapeCallback(side, side);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// The window's state turned about wherever a drawing function might rely on it without setting it
// (the client arrays stay on: every drawing of arrays relies on them, as the window keeps them).
void turnedState() {
  windowState();
  for (GLenum s : switches) (glIsEnabled(s) ? glDisable : glEnable)(s);
  glBlendFunc(GL_ONE, GL_ONE);
  glDepthFunc(GL_GREATER);
  glShadeModel(GL_FLAT);
  glFrontFace(GL_CW);
  glCullFace(GL_FRONT);
  glColor4f(0.25f, 0.5f, 0.75f, 0.125f);
  static GLuint stray = 0;
  if (!stray) glGenTextures(1, &stray);
  glBindTexture(GL_TEXTURE_2D, stray);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTranslatef(1.0f, 2.0f, 3.0f);
}

struct Drawing {
  const char* name;
  std::function<void()> draw;
  std::vector<Item> sets;  // what the function is meant to leave, whatever it found
};

class GlState : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ensureGlContext(side, side));
    setFixedGlState();
    loadTheWorldOnce();
    restartGame();
  }

  // Every difference between before and after, but for what the function sets.
  static std::vector<std::string> leaks(const Drawing& drawing, void (*start)()) {
    start();
    const std::vector<Item> before = capture();
    drawing.draw();
    const std::vector<Item> after = capture();
    std::vector<std::string> found;
    for (std::size_t i = 0; i < before.size(); ++i) {
      const Item* meant = nullptr;
      for (const Item& s : drawing.sets)
        if (s.name == after[i].name) meant = &s;
      if (meant ? after[i].value != meant->value : after[i].value != before[i].value) found.push_back(after[i].name);
    }
    if (glGetError() != GL_NO_ERROR) found.push_back("a GL error");
    return found;
  }
};

TEST_F(GlState, EveryDrawingFunctionLeavesTheStateItFoundButForWhatItSets) {
  const Item src{"blend source", {GL_SRC_ALPHA}}, dst{"blend destination", {GL_ONE_MINUS_SRC_ALPHA}};
  const std::vector<Drawing> drawings = {
      // The stars end with white, lighting on and blending off, whatever came before.
      {"drawStars", [] { drawStars(20, 30.0f); }, {{"lighting", {1}}, {"blend", {0}}, {"current colour", {1, 1, 1, 1}}, src, dst}},
      {"drawSkyBox", drawSkyBox, {}},
      {"drawFloor", drawFloor, {}},
      {"drawReflectiveShip", [] { drawReflectiveShip(shipModel.get(), cubeMapTexture); }, {}},
      // The bar's state stays for the score line; the text keeps its own.
      {"drawOnScreenDisplay", drawOnScreenDisplay,
       {{"lighting", {1}}, {"blend", {0}}, {"depth test", {1}}, {"current colour", {1, 0, 0, 0.5}}, src, dst,
        {"modelview matrix", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}}},
      {"drawText", [] { drawText(-0.5f, 0.5f, 0.1f, 0.1f, "velmo", 5); }, {}},
  };
  for (const Drawing& drawing : drawings) {
    EXPECT_EQ(leaks(drawing, windowState), std::vector<std::string>{}) << drawing.name << " from the window's state";
    EXPECT_EQ(leaks(drawing, turnedState), std::vector<std::string>{}) << drawing.name << " from a turned state";
  }
  windowState();
}

}  // namespace
