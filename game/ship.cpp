// Loading the ship and the blast's texture.
#include "game/ship.h"

#include <cstdio>
#include <new>

#include "base/console.h"
#include "model/model.h"
#include "render/texture.h"

std::unique_ptr<Model> shipModel;
GLuint blastTexture = 0;

void loadShip(int detail) {
  consolePrint(stdout, "Loading vorizozadi...");
  // Allocation alone failing leaves the game without a ship; a bad file throws through.
  shipModel.reset(new (std::nothrow) Model("vorizozadi1", detail));
  logOk();
}

void createBlastTexture() {
  glGenTextures(1, &blastTexture);
  glBindTexture(GL_TEXTURE_2D, blastTexture);
  loadBmpIntoTexture(GL_TEXTURE_2D, true, "blast2.bmp");
}
