// The player's ship and its blast: the ship model read at start-up and the texture the blast
// sphere wears.
#pragma once

#include <GL/gl.h>

#include <memory>

class Model;

extern std::unique_ptr<Model> shipModel;  // the ship from "vorizozadi1"; empty when there is none
extern GLuint blastTexture;               // 2D texture from "blast2.bmp", worn by the blast sphere

// Start-up, after the cube map's check: loads the ship at the sphere detail given between its
// progress lines. Failures of the model file pass through unchanged.
void loadShip(int detail);

// Start-up: the blast texture. A failure is printed; the blast then goes untextured.
void createBlastTexture();
