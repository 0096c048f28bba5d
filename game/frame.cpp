// One step of the game: the hit tests, the crash or the flight, and the on-screen display.
#include "game/frame.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstring>

#include "game/rules.h"
#include "game/ship.h"
#include "game/sound.h"
#include "game/state.h"
#include "game/step.h"
#include "render/cubemap.h"
#include "render/floor.h"
#include "render/light.h"
#include "render/model_draw.h"
#include "render/skybox.h"
#include "render/solid_sphere.h"
#include "render/stars.h"
#include "ui/font.h"
#include "ui/texts.h"

namespace {

const float lightPosition[3] = {1000.0f, 100.0f, 0.0f};  // low from +x, directional
const float lightColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void light() { setLight(GL_LIGHT1, lightPosition, lightColour); }

// Ten steps of blast at the ship's place: the scene shaken, a textured sphere growing to radius
// 10 and, from radius 6 on, a flat ring around it. Afterwards the still scene.
void drawCrash(const StepEvents& step) {
  glPushMatrix();
  if (step.shaken) glTranslatef(step.shake.x, step.shake.y, step.shake.z);
  drawScene();
  glPopMatrix();

  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, blastTexture);
  if (step.blastShown) {
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, shipHeight, -shipDistance);
    // Object-linear generation with GL's default planes: s follows x, t follows y.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    drawSolidSphere(gameState.blastRadius, sceneOptions.sphereDetail, sceneOptions.sphereDetail);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
    // One quadric serves every ring of the run, made at the first: a step allocates nothing.
    static GLUquadric* ring = gluNewQuadric();
    if (gameState.blastRadius > blastRingFrom && ring) {
      gluQuadricDrawStyle(ring, GLU_FILL);
      gluQuadricNormals(ring, GLU_SMOOTH);
      gluQuadricOrientation(ring, GLU_INSIDE);
      glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
      gluDisk(ring, 2.0 * gameState.blastRadius - 4.0, 2.0 * gameState.blastRadius, 10, 1);
    }
    glPopMatrix();
  }
  glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
}

// One face of the cube map: the scene under the face's view.
void drawCubeFaceView() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  light();
  drawScene();
}

// The cube map is rendered around the ship where the step left it, the scene is drawn from the
// camera, then the mirroring ship and the translucent bubble.
void drawFlight(const StepEvents& step) {
  renderCubeMap(gameState.heading, gameState.camera.x, gameState.camera.y, gameState.camera.z, drawCubeFaceView);

  if (sceneOptions.windowView) sceneOptions.windowView();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  light();
  drawScene();

  glPushMatrix();
  glLoadIdentity();
  glTranslatef(0.0f, shipHeight, -shipDistance);
  glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
  drawReflectiveShip(shipModel.get(), cubeMapTexture);

  glLoadIdentity();
  glTranslatef(0.0f, shipHeight, -shipDistance);
  if (step.bubbleShown) {  // radius 0 in the step that timed out
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.6f, 0.6f, 1.0f, 0.2f);
    drawSolidSphere(gameState.bubble, sceneOptions.sphereDetail, sceneOptions.sphereDetail);
    glDisable(GL_BLEND);
  }
  glPopMatrix();
}

}  // namespace

void drawOnScreenDisplay() {
  glLoadIdentity();
  glEnable(GL_BLEND);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  float end = barEnd(gameState.bubble);
  glBegin(GL_QUADS);
  glColor4f(0.6f, 0.6f, 1.0f, 0.5f);
  glVertex3f(-0.9f, 0.7f, -1.0f);
  glVertex3f(-0.9f, 0.6f, -1.0f);
  glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
  glVertex3f(end, 0.6f, -1.0f);
  glVertex3f(end, 0.7f, -1.0f);
  glEnd();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);

  char score[32];
  int length = std::snprintf(score, sizeof score, interfaceTexts().scoreFormat, gameState.collected);
  drawText(-0.9f, 0.75f, 0.5f, 0.1f, score, length);
}

SceneOptions sceneOptions;

// The sky box lies at the cleared depth 1.0 (so far that its depth rounds to it) and shows nowhere
// through the rock and the floor, which are opaque: drawn after them under the depth test, which
// passes at 1.0 only where nothing was drawn, it is shaded only where it shows, and every sample
// ends as it would with the sky drawn first. The stars' glow blends over whatever lies behind it,
// so it comes after the sky.
void drawScene() {
  if (!sceneOptions.skyLast) drawSkyBox();
  glPushMatrix();
  drawLandscapes();
  glPopMatrix();

  // The floor frame: the floor lies in its x-y plane, so a star (x, y, z) stands at world (x, z, -y).
  auto inFloorFrame = [](auto draw) {
    glPushMatrix();
    glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
    draw();
    glPopMatrix();
  };
  inFloorFrame(drawFloor);
  if (sceneOptions.skyLast) drawSkyBox();
  inFloorFrame([] { drawStars(sceneOptions.sphereDetail, gameState.heading); });
}

void drawPauseLabel() {
  const char* const pauseLabel = interfaceTexts().pauseLabel;
  const int length = static_cast<int>(std::strlen(pauseLabel));
  const float cell = cellSize;
  const float width = static_cast<float>(length + 1) * cell;  // a cell to spare: the line never wraps
  drawText(-static_cast<float>(length) * cell / 2.0f, 0.3f, width, cell, pauseLabel, length);
}

// The step first, then the picture of where it left the game.
void gameFrame() {
  const StepEvents step = advanceGame();
  if (step.crashed) playCue("play blast.wav");
  if (step.collected) playCue("play collect.wav");

  placeCamera(step.viewHeading, step.viewCamera);
  light();
  if (gameState.crashed == 1)
    drawCrash(step);
  else
    drawFlight(step);
  drawOnScreenDisplay();
  if (gameState.paused) drawPauseLabel();
}
