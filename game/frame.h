// The game frame: one step of the game, run once per display.
#pragma once

#include "game/step.h"

// Advances the game one step (game/step.h), plays the cues and draws the world where the step
// left it, and the on-screen display.
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

// The pause label of the language in force (ui/texts.h), centred a little above the horizon.
void drawPauseLabel();
