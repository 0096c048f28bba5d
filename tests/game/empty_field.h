// A fresh game in a field of its own for the game's tests: the stars and the mountains far away
// unless a test puts them near, the shared sequence back at its start; and the start-up's loading
// that the GL tests need, done once in a process.
#pragma once

#include <gtest/gtest.h>

#include "app/frame.h"
#include "base/random.h"
#include "game/frame.h"
#include "game/ship.h"
#include "game/state.h"
#include "model/landscapes.h"
#include "render/cubemap.h"
#include "render/floor.h"
#include "render/skybox.h"
#include "render/stars.h"
#include "tests/support/test_files.h"
#include "ui/font.h"

// The font, the sky, the floor, the stars, the ship (at a low detail, for speed) and the blast
// from the generated data, with the frame's textures and the window's view restored after the
// cube faces; the progress lines are swallowed. Needs a GL context.
inline void loadTheWorldOnce() {
  static bool loaded = false;
  if (loaded) return;
  WorkingDir here(VELMO_DATA_DIR);
  testing::internal::CaptureStdout();
  initFont();
  initSkyBox();
  initFloor();
  initStars();
  initCubeMap();
  loadShip(4);
  createBlastTexture();
  createFrameTextures();
  sceneOptions.windowView = restoreWindowView;
  testing::internal::GetCapturedStdout();
  loaded = true;
}

inline void restartInAnEmptyField() {
  restartGame();
  sharedRandom = RandomSequence{};
  for (Star& star : starSet.stars) star = Star{-1000.0f, -1000.0f, 10.0f};
  for (LandscapeInstance& instance : landscapeInstances) instance = LandscapeInstance{nullptr, -1000.0f, 6.0f, -1000.0f, 0.0f};
  landscapeHalfX = 15.0f;
  landscapeHalfZ = 15.0f;
}
