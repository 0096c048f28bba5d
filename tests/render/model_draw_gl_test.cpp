// Drawing meshes, model trees and landscapes in a real GL context: state left as found.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "app/frame.h"
#include "model/landscapes.h"
#include "model/model.h"
#include "render/model_draw.h"
#include "tests/support/gl_context.h"

namespace {

void setUpView() {
  orthoView(64, 2, -10, 10);
  prepareUnlitMeshDrawing();
}

GLint stackDepth() {
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  return depth;
}

}  // namespace

TEST(DrawGl, MeshDrawsAndRestoresShininess) {
  ASSERT_TRUE(ensureGlContext(64, 64));
  setUpView();
  glMaterialf(GL_FRONT, GL_SHININESS, 7.0f);
  glMaterialf(GL_BACK, GL_SHININESS, 9.0f);
  SphereMesh m;
  m.generate(20);
  m.shininess = 100.0f;
  drawMesh(m);
  GLfloat front = 0, back = 0;
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &front);
  glGetMaterialfv(GL_BACK, GL_SHININESS, &back);
  // The front's value is put back on both faces: the back's own value is not kept, but no face
  // keeps the mesh's.
  EXPECT_EQ(front, 7.0f);
  EXPECT_EQ(back, 7.0f);
  unsigned char centre[3] = {0, 0, 0};
  glReadPixels(32, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre);
  EXPECT_EQ(centre[0], 255);  // the white sphere covers the middle, front faces kept
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Whether the pixel at (x, 32) of the 64 × 64 view is lit.
bool litAt(int x) {
  unsigned char pixel[3] = {0, 0, 0};
  glReadPixels(x, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
  return pixel[0] > 128;
}

TEST(DrawGl, ATreeDrawsEachChildAtItsAttachmentPoint) {
  ASSERT_TRUE(ensureGlContext(64, 64));
  setUpView();  // 16 pixels a unit, x from -2 to 2
  SphereMesh body, wing;  // unit spheres
  body.generate(12);
  wing.generate(12);
  body.setPivot(1.5f, 0.0f, 0.0f);  // the body drawn around x = -1.5, pixel 8
  ModelNode root;
  root.mesh = &body;
  root.count = 2;
  root.attachments.push_back(std::make_unique<AttachmentPoint>(AttachmentPoint{0.0f, 5.0f, 0.0f, 0.0f}));
  root.attachments.push_back(std::make_unique<AttachmentPoint>(AttachmentPoint{3.0f, 0.0f, 0.0f, 0.0f}));
  root.children.push_back(nullptr);
  root.children.push_back(std::make_unique<ModelNode>());
  root.children[1]->mesh = &wing;  // 3 to the right of the body's shifted place: pixel 56
  drawModelNode(root);
  EXPECT_TRUE(litAt(8));
  EXPECT_FALSE(litAt(32));
  EXPECT_TRUE(litAt(56));

  // With one slot counted, the child in the second is not drawn.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  root.count = 1;
  drawModelNode(root);
  EXPECT_TRUE(litAt(8));
  EXPECT_FALSE(litAt(56));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(DrawGl, TreesKeepTheMatrixStackAndStopBeforeItOverflows) {
  ASSERT_TRUE(ensureGlContext(64, 64));
  setUpView();
  SphereMesh m;
  m.generate(4);
  m.setPivot(0.1f, 0.0f, 0.0f);
  // A chain of 40 parts, each with a second, empty slot.
  ModelNode root;
  ModelNode* node = &root;
  for (int level = 0; level < 40; ++level) {
    node->mesh = &m;
    node->count = 2;
    node->attachments.push_back(std::make_unique<AttachmentPoint>(AttachmentPoint{0.0f, 0.01f, 0.0f, 0.0f}));
    node->attachments.push_back(std::make_unique<AttachmentPoint>(AttachmentPoint{1.0f, 0.0f, 0.0f, 0.0f}));
    node->children.push_back(level < 39 ? std::make_unique<ModelNode>() : nullptr);
    node->children.push_back(nullptr);
    node = node->children[0].get();
  }
  GLint before = stackDepth();
  Model model;
  drawModelNode(root);
  EXPECT_EQ(stackDepth(), before);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  drawModel(model);  // an empty model draws nothing
  root.release();
  EXPECT_TRUE(root.children.empty());
  EXPECT_EQ(root.count, 0);
  EXPECT_EQ(root.mesh, &m);
}

TEST(DrawGl, LandscapesKeepTheMatrix) {
  ASSERT_TRUE(ensureGlContext(64, 64));
  setUpView();
  SphereMesh m;
  m.generate(10);
  for (LandscapeInstance& instance : landscapeInstances) instance = {&m, 1.0f, 0.0f, 0.0f, 30.0f};
  GLfloat before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  drawLandscapes();
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]);
  for (LandscapeInstance& instance : landscapeInstances) instance = {};
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
