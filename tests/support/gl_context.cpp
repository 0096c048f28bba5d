// The tests' GL window.
#include "tests/support/gl_context.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/frame.h"

bool ensureGlContext(int width, int height, unsigned displayMode) {
  static int window = 0;
  if (window) return true;
  if (!std::getenv("DISPLAY")) {
    ADD_FAILURE() << "GL tests need an X display (scripts/test starts Xvfb)";
    return false;
  }
  int argc = 1;
  char name[] = "velmo-test";
  char* argv[] = {name, nullptr};
  glutInit(&argc, argv);
  glutInitDisplayMode(displayMode ? displayMode : GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL);
  glutInitWindowSize(width, height);
  window = glutCreateWindow("velmo-test");
  glutDisplayFunc([] {});
  return window != 0;
}

void orthoView(int side, double extent, double zNear, double zFar) {
  glViewport(0, 0, side, side);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-extent, extent, -extent, extent, zNear, zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void prepareUnlitMeshDrawing() {
  setFixedGlState();
  glDisable(GL_LIGHTING);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
