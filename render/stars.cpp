// Placing and drawing the stars.
#include "render/stars.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "base/console.h"
#include "base/random.h"
#include "render/frustum.h"
#include "render/solid_sphere.h"

StarSet starSet;

namespace {

constexpr float glowRadius = 5.0f;  // star frame, before the scale of 2
constexpr float glowScale = 2.0f;
constexpr float glowCentre[4] = {0.6f, 0.6f, 1.0f, 0.5f};
constexpr float glowRimColour[4] = {0.6f, 0.6f, 1.0f, 0.0f};
// A star's sphere has radius 1 and its glow disc reaches glowRadius × glowScale: all of it lies
// within this distance of the star's position.
constexpr float starBoundingRadius = glowRadius * glowScale;

// The drawing is made for details 10..360: below, the sphere would get no slices; above, the rim
// step would be 0 and the fan would never end.
int drawableDetail(int detail) { return detail < 10 ? 10 : (detail > 360 ? 360 : detail); }

}  // namespace

void placeStar(Star& star) {
  star.x = static_cast<float>(2 * (nextRandom() % 100) - 100);
  star.y = static_cast<float>(2 * (nextRandom() % 100) - 100);
  star.z = starHeight;
}

void initStars() {
  consolePrint(stdout, "Initializing stars...");
  for (Star& star : starSet.stars) placeStar(star);
  logOk();
}

int glowRimStep(int detail) { return 360 / drawableDetail(detail); }

float glowRimAngle(int detail, int i) { return static_cast<float>(i) * static_cast<float>(glowRimStep(detail)); }

int glowRim(int detail, std::array<GlowRimVertex, maxGlowRimVertices>& out) {
  const float step = static_cast<float>(glowRimStep(detail));
  const float toRadians = (1.0f / 360.0f) * 2.0f * 3.14159265358979f;
  int count = 0;
  for (float a = 0.0f; a < 360.0f + step && count < maxGlowRimVertices; a += step) {
    float radians = a * toRadians;
    out[static_cast<std::size_t>(count++)] = {-glowRadius * std::sin(radians), 0.0f, glowRadius * std::cos(radians)};
  }
  return count;
}

void drawStars(int sphereDetail, float heading) {
  static std::array<GlowRimVertex, maxGlowRimVertices> rim;  // refilled each frame, never reallocated
  const int detail = drawableDetail(sphereDetail);
  const int rimCount = glowRim(detail, rim);
  const int slices = detail / 10;

  glEnable(GL_BLEND);
  glDisable(GL_LIGHTING);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  const bool cull = viewCulling;
  const Frustum view = cull ? currentViewFrustum() : Frustum{};
  for (const Star& star : starSet.stars) {
    if (cull && sphereOutsideFrustum(view, star.x, star.y, star.z, starBoundingRadius)) continue;
    glPushMatrix();
    glTranslatef(star.x, star.y, star.z);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawSolidSphere(1.0, slices, slices);
    glRotatef(-heading, 0.0f, 0.0f, 1.0f);
    glScalef(glowScale, glowScale, glowScale);
    glBegin(GL_TRIANGLE_FAN);
    glColor4fv(glowCentre);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glColor4fv(glowRimColour);
    for (int i = 0; i < rimCount; ++i) glVertex3f(rim[i].x, rim[i].y, rim[i].z);
    glEnd();
    glPopMatrix();
  }
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_LIGHTING);
  glDisable(GL_BLEND);
}
