// The game frame: one step of the game, run once per display.
#pragma once

// Tests the ship, scores, moves it and draws the world and the on-screen display.
void gameFrame();

// Draws the world under the current modelview matrix: sky, mountains, floor and stars.
void drawScene();

// The bar that shows the bubble and the count of collected stars, in interface units.
void drawOnScreenDisplay();
