// The scene's light set-up.
#include "render/light.h"

#include <GL/gl.h>

void setLight(int light, const float position[3], const float colour[4]) {
  GLenum name = static_cast<GLenum>(light);
  const GLfloat directional[4] = {position[0], position[1], position[2], 0.0f};
  glLightfv(name, GL_DIFFUSE, colour);
  glLightfv(name, GL_SPECULAR, colour);
  glLightfv(name, GL_POSITION, directional);
  glLightf(name, GL_SPOT_CUTOFF, 180.0f);
  glEnable(name);
}
