// The sky box: six textured squares, far beyond everything else, around the whole scene.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

// A face file: 512 rows of 512 red-green-blue pixels, no header, no padding; bytes beyond are
// ignored.
inline constexpr int skyFaceEdge = 512;                                            // pixels
inline constexpr std::size_t skyFaceBytes = std::size_t{skyFaceEdge} * skyFaceEdge * 3;  // 786,432

// The faces in the order their textures are generated.
enum class SkyFace { left, right, top, bottom, front, back };

// The pixels of a face file: its first skyFaceBytes bytes, or an empty span when it is shorter.
std::span<const std::uint8_t> rawFacePixels(std::span<const std::uint8_t> file);

// Generates the six face textures and loads "sky/f.raw" ... "sky/earth.raw"; throws the face's
// text with the file and the reason when one fails, or no text when building its mipmaps fails.
void initSkyBox();

// Reads the face file at path into slot (replacing what it held) and builds the texture's
// mipmaps from it. False when the file is missing or short or the buffer cannot be had, with the
// reason in `whyNot` when given.
bool loadRawFace(unsigned texture, std::unique_ptr<std::uint8_t[]>& slot, const char* path,
                 std::string* whyNot = nullptr);

// Draws the box with the current matrices, tinted (1, 0.5, 0). Restores the GL state it touches.
void drawSkyBox();

// One corner of a face's fan: texture coordinate and position in units of the half size.
struct SkyCorner {
  float s, t;
  float x, y, z;
};
// The fan of a face, four corners in drawing order.
const SkyCorner* skyFaceFan(SkyFace face);
