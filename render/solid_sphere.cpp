// The solid sphere, drawn from cached arrays the way glutSolidSphere draws it, in the current colour.
#include "render/solid_sphere.h"

#include <GL/gl.h>

#include <cstddef>

#include "render/sphere_geometry.h"

void drawSolidSphere(double radius, int slices, int stacks) {
  static SphereCache cache;  // the bubble or blast and the stars: built once, no step allocates
  const SphereCache::Entry* sphere = cache.find(slices, stacks, static_cast<float>(radius));
  if (!sphere) return;
  const SphereGeometry& geometry = sphere->geometry;
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  glDisableClientState(GL_EDGE_FLAG_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, sphere->positions.data());
  glNormalPointer(GL_FLOAT, 0, geometry.normals.data());
  const int length = geometry.stripLength();
  for (int i = 0; i < geometry.stacks; ++i) {
    glDrawElements(GL_TRIANGLE_STRIP, length, GL_UNSIGNED_INT, geometry.strips.data() + static_cast<std::size_t>(i) * length);
  }
  glPopClientAttrib();
}
