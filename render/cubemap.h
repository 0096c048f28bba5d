// The environment cube map the ship mirrors: the textures and buffers the game frame uses, the
// six face views rendered around the ship, the capture of one face from the frame buffer, and
// the drawing of the reflective ship.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include "render/face_image.h"

class Model;

inline constexpr int faceWidth = faceSide;   // texels across one cube face
inline constexpr int faceHeight = faceSide;  // texels down one cube face

extern int captureWidth;              // pixels of the frame buffer copied for one face (faceWidth)
extern int captureHeight;             // (faceHeight)
extern int captureX;                  // lower-left corner of that rectangle, pixels
extern int captureY;
extern unsigned char* faceBuffer;     // faceImageBytes: one face as handed to the mipmap builder
extern unsigned char* captureBuffer;  // faceImageBytes: the captured rectangle, bottom row first
extern GLuint cubeMapTexture;         // the environment cube map, refilled every flight step
extern GLuint captureTexture;         // 2D, 128 × 128 RGB with mipmaps: receives the copied pixels

// How the face views reach the cube map. createFrameTextures sets offScreen to whether the
// driver gave the off-screen frame buffer (it makes none when it starts out false; under a
// multisampled window it makes one only with the window's samples, unless windowSamples is
// false); tests and the benchmark switch them to compare the ways.
struct FaceViewOptions {
  bool offScreen = true;      // into a 128 × 128 frame buffer; else the window's corner
  bool windowSamples = true;  // the frame buffer has the window's samples a pixel; else one
};
extern FaceViewOptions faceViewOptions;

// Start-up: refuses to go on without cube-map support (throws a GameError without a text).
void initCubeMap();

// Start-up: the cube-map and capture textures, the two face buffers and,
// where the driver has them, the face views' frame buffers. Throws "Not enought memory\n" when a buffer cannot be had.
void createFrameTextures();

// One view of the cube map: a fixed turn, combined with the heading in the order given.
struct CubeFaceView {
  GLenum target;      // the cube face it fills
  float angle;        // degrees of the fixed turn; 0 for none
  float axisX, axisY, axisZ;
  bool headingFirst;  // the heading turn comes before the fixed one
  bool rotate;        // the captured image is turned by 180° into the face
};
extern const CubeFaceView cubeFaceViews[6];  // in the order they are rendered

// Renders the six faces, off screen or into the window's lower-left corner, and builds each into
// cubeMapTexture. Each view is taken from 7 above the eye and turned with the heading (degrees),
// so the cube map lines up with the eye's axes. drawView clears, lights and draws the world
// under the face's model-view matrix; in the window its clears reach only the captured corner
// (a scissor, switched off again on the way out). Leaves the capture viewport and projection in
// force and the window's frame buffer bound.
void renderCubeMap(float heading, float cameraX, float cameraY, float cameraZ, void (*drawView)());

// Turns the lower-left captureWidth × captureHeight pixels of the frame buffer into the face
// `faceTarget` of the cube map, with its mipmaps. A failed copy is reported on standard error
// and the face keeps what it held.
void captureCubeFace(GLuint captureTexture, GLuint cubeMapTexture, GLenum faceTarget, bool rotate);

// Uploads a face image and its whole mipmap chain, each level halved on the processor with the
// rounding of gluBuild2DMipmaps, which it replaces for the 128 × 128 faces: the levels are the same.
void buildFaceMipmaps(GLenum faceTarget, FaceImageIn face);

// Draws the ship (nothing when there is none), unlit, mirroring the cube map through
// reflection-vector texture coordinates under the current model-view matrix. Every GL attribute
// is put back.
void drawReflectiveShip(const Model* ship, GLuint cubeMapTexture);
