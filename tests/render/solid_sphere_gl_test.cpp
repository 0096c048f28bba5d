// GLUT's sphere after a mesh has left its client arrays on: it takes the current colour, not
// colours from the mesh's vertex array, and the arrays are on again afterwards.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "model/mesh.h"
#include "render/model_draw.h"
#include "render/solid_sphere.h"
#include "tests/support/gl_context.h"

TEST(SolidSphereGl, TakesTheCurrentColourWhateverArraysAMeshLeftOn) {
  ASSERT_TRUE(ensureGlContext(64, 64));
  orthoView(64, 2, -10, 10);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // A red mesh far off to the side: its arrays stay bound and enabled after it is drawn.
  SphereMesh mesh;
  mesh.generate(12);
  for (MeshVertex& v : mesh.vertices) v.red = 1.0f, v.green = 0.0f, v.blue = 0.0f, v.alpha = 1.0f;
  glPushMatrix();
  glTranslatef(50.0f, 0.0f, 0.0f);
  drawMesh(mesh);
  glPopMatrix();
  ASSERT_TRUE(glIsEnabled(GL_COLOR_ARRAY));

  glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
  drawSolidSphere(1.0, 12, 12);
  unsigned char centre[3] = {};
  glReadPixels(32, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre);
  EXPECT_EQ(centre[0], 0);
  EXPECT_EQ(centre[1], 255);
  EXPECT_EQ(centre[2], 0);
  EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
  EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
}
