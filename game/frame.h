// The game frame: one step of the game, run once per display.
#pragma once

#include <cstdint>

enum class GameEndKind : std::uint8_t { crash = 0, timeOut = 1 };

// Told of every game end at the moment the name entry opens, with the score at that moment.
using GameEndHook = void (*)(GameEndKind end, int score);
extern GameEndHook gameEndHook;  // empty unless a session is recorded or replayed

// Tests the ship, scores, moves it and draws the world and the on-screen display.
void gameFrame();

// Draws the world under the current modelview matrix: sky, mountains, floor and stars.
void drawScene();
struct SceneOptions {
  bool skyLast = true;  // the sky after the rock and the floor, where it shows; else first
  int sphereDetail = 20;  // of the stars, the bubble and the blast: the landscape detail
  void (*windowView)() = nullptr;  // sets the window's viewport and projection after the face views
};
extern SceneOptions sceneOptions;

// The bar that shows the bubble and the count of collected stars, in interface units.
void drawOnScreenDisplay();
