// A GL context for tests: one hidden-from-nobody GLUT window, created on first use.
#pragma once

// Creates the window once (width × height, double-buffered RGB with depth and stencil, or the
// GLUT display mode given) and makes its context current. Fails the calling test when no X
// display is there.
bool ensureGlContext(int width = 256, int height = 256, unsigned displayMode = 0);

// A square side × side viewport looking down -z with an orthographic box of ±extent across and
// zNear..zFar deep, and an identity model-view matrix.
void orthoView(int side, double extent, double zNear, double zFar);

// The window's fixed state without lighting, as the model drawing expects it, and a cleared black
// picture with a cleared depth.
void prepareUnlitMeshDrawing();
