// The game's step: the rules in the order one display takes them, and the game ends they lead to.
#include "game/step.h"

#include "game/rules.h"
#include "ui/dialogs.h"

GameEndHook gameEndHook = nullptr;

namespace {

// The name entry opens at every game end; the session hears of it at the same moment.
void endGame(GameEndKind end) {
  showNameEntry();
  if (gameEndHook) gameEndHook(end, gameState.collected);
}

}  // namespace

StepEvents stepGame(GameState& state) {
  StepEvents events;
  const ShipEvents ship = checkShip(state);
  events.crashed = ship.crashed;
  events.collected = ship.collected;
  events.viewCamera = state.camera;
  events.viewHeading = state.heading;
  if (state.crashed == 1) {
    // The wreck stays put; the blast shakes the scene while it grows.
    if (state.blastRadius < blastLimit) {
      events.shaken = true;
      events.shake = drawShake();
    }
    events.blastShown = growBlast(state);
  } else {
    flightStep(state);
    events.bubbleShown = state.bubble > 0.0f;
    events.timedOut = growBubble(state);
  }
  state.lastStep = events;
  return events;
}

StepEvents advanceGame() {
  if (gameState.paused) {
    StepEvents still = gameState.lastStep;
    still.crashed = still.collected = still.timedOut = false;
    return still;
  }
  const StepEvents events = stepGame(gameState);
  if (events.crashed) endGame(GameEndKind::crash);
  if (events.timedOut) endGame(GameEndKind::timeOut);
  return events;
}
