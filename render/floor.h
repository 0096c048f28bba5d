// The bump-mapped floor: a 2000-unit square lit per pixel by a fixed light through a normal map,
// a normalisation cube map and the DOT3 combiner, then multiplied by its repeating base texture.
#pragma once

#include <cstdint>
#include <span>

#include "base/gl_proc.h"

struct FloorVector {
  float x;
  float y;
  float z;
};

// Prints the progress line, checks the three extensions, fetches the multitexture entry points,
// loads "normal2.bmp" and "block.bmp", builds the cube map and leaves the depth function at
// GL_LEQUAL. Throws a GameError, without a text when an extension is missing,
// with one when an entry point is.
void initFloor();

// Fetches the eight ARB multitexture functions by name; true only when all eight were found.
bool loadMultitextureEntryPoints();
bool loadMultitextureEntryPoints(ProcLookup lookup);

// A cube-map texture whose texel in every direction holds that direction, normalised and packed
// as 127·d + 128 per channel; 0 when the work buffer cannot be had.
unsigned buildNormalisationCubeMap(int edge);

// The unit direction through the centre of texel (column, row) of cube face 0..5 (+X, -X, +Y,
// -Y, +Z, -Z) with edge texels per side, oriented as GL looks directions up in a cube map.
FloorVector cubeFaceVector(int face, int edge, int column, int row);

// One face of the normalisation cube map: edge × edge texels of 3 bytes, rows first.
// texels must hold edge · edge · 3 bytes.
void fillNormalisationFace(int face, int edge, std::span<std::uint8_t> texels);

// A unit component in -1..1 as the byte 127·c + 128, truncated towards zero.
std::uint8_t packUnitComponent(float component);

// The floor's corners (in its own frame, z = 0) and the light it is lit by.
inline constexpr FloorVector floorCorners[4] = {
    {-1000.0f, -1000.0f, 0.0f}, {1000.0f, -1000.0f, 0.0f}, {1000.0f, 1000.0f, 0.0f}, {-1000.0f, 1000.0f, 0.0f}};
inline constexpr float floorTexCoords[4][2] = {{0.0f, 0.0f}, {100.0f, 0.0f}, {100.0f, 100.0f}, {0.0f, 100.0f}};
inline constexpr FloorVector floorLightPosition = {1000.0f, 0.0f, 100.0f};

// The unit vector from point towards the light.
FloorVector directionToLight(FloorVector light, FloorVector point);

// Draws the floor in its own frame (the caller turns it into the horizontal plane). Restores every
// GL state it touches.
void drawFloor();
