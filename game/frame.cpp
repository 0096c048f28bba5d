// One step of the game.
#include "game/frame.h"

#include <GL/gl.h>

#include "app/frame.h"
#include "game/state.h"

namespace {

const float lightPosition[3] = {1000.0f, 100.0f, 0.0f};  // low from +x, directional
const float lightColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};

}  // namespace

void gameFrame() {
  placeCamera();
  setLight(GL_LIGHT1, lightPosition, lightColour);
  if (gameState.crashed != 1) flightStep(gameState);
}
