// The font table built from the glyph art, and drawText.
#include "ui/font.h"

#include <GL/gl.h>

#include <cassert>
#include <cstring>

#include "ui/glyph_art.h"
#include "ui/text_layout.h"

BitmapFont bitmapFont;
float cellSize = 0.05f;

namespace {

int pixelScale = 1;                             // screen pixels per font pixel
float blankImage[glyphValues];                  // all zeros
float glyphImages[glyphImageCount][glyphValues];  // the drawn images, in sheet order

// Converts glyph k of a sheet into an image: the sheet's top row becomes the image's last row.
void readSheetGlyph(const GlyphSheet& sheet, int k, float* image) {
  for (int row = 0; row < glyphPixels; ++row) {
    const char* line = sheet.rows[row];
    assert(std::strlen(line) >= static_cast<std::size_t>(9 * k + 8));
    for (int column = 0; column < glyphPixels; ++column) {
      char pixel = line[9 * k + column];
      assert(pixel == '#' || pixel == '.');
      image[(glyphPixels - 1 - row) * glyphPixels + column] = pixel == '#' ? 1.0f : 0.0f;
    }
  }
}

}  // namespace

const float* blankGlyph() { return blankImage; }

void setGlyphScale(int scale) { pixelScale = scale; }
int glyphScale() { return pixelScale; }

void initFont() {
  for (const float*& glyph : bitmapFont.glyphs) glyph = blankImage;
  int next = 0;
  for (std::size_t s = 0; s < glyphSheetCount; ++s) {
    const GlyphSheet& sheet = glyphSheets[s];
    for (int k = 0; sheet.chars[k] != '\0'; ++k) {
      assert(next < glyphImageCount);
      readSheetGlyph(sheet, k, glyphImages[next]);
      bitmapFont.glyphs[static_cast<unsigned char>(sheet.chars[k])] = glyphImages[next];
      ++next;
    }
  }
  assert(next == glyphImageCount);
  for (int i = 0; lookAlikes[i] != '\0'; ++i)
    bitmapFont.glyphs[static_cast<unsigned char>(lookAlikes[i])] =
        bitmapFont.glyphs[static_cast<unsigned char>(lookAlikeSources[i])];
}

void drawText(float x, float y, float width, float height, const char* text, int length) {
  glPushAttrib(GL_ENABLE_BIT | GL_PIXEL_MODE_BIT);
  glDisable(GL_DEPTH_TEST);
  glPixelZoom(static_cast<float>(pixelScale), static_cast<float>(pixelScale));
  const float cell = cellSize;
  forEachTextLine(text, length, width, height, cell, [&](int start, int end, int, float lineOffset) {
    float cx = x;  // summed one cell at a time, in single precision
    for (int i = start; i < end; ++i) {
      glRasterPos3f(cx, y + lineOffset, -1.0f);
      const float* glyph = glyphFor(static_cast<unsigned char>(text[i]));
      glDrawPixels(glyphPixels, glyphPixels, GL_GREEN, GL_FLOAT, glyph ? glyph : blankImage);
      cx += cell;
    }
  });
  glPopAttrib();
}
