// One step of the game apart from its drawing: the hit tests, scoring, the flight, the bubble and
// the blast with its shake, and what happened in it. Nothing here draws, so a recording plays
// through these steps without a window.
#pragma once

#include <cstdint>

#include "game/state.h"

enum class GameEndKind : std::uint8_t { crash = 0, timeOut = 1 };

// Told of every game end at the moment the name entry opens, with the score at that moment.
using GameEndHook = void (*)(GameEndKind end, int score);
extern GameEndHook gameEndHook;  // empty unless a session is recorded or replayed

// Advances `state` by one step: the hit tests at the position the previous step left (a collected
// star re-placed with two draws of the shared sequence), then either the blast (its shake drawn
// z, y, x from the sequence while it grows) or the flight (move, turn, bubble growth). Records the
// events in state.lastStep too.
StepEvents stepGame(GameState& state);

// One display's step of the game: stepGame on gameState, and at a game end the name entry and
// gameEndHook. While the game is paused nothing moves and the last step's picture is returned,
// without its crash, collection or time-out.
StepEvents advanceGame();
