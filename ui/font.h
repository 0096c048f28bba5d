// The built-in 8×8 font and the one text drawing operation: green ink on black cells, one cell
// (cellSize interface units, 8 × glyphScale() pixels) per character, lines word-wrapped inside a
// box.
#pragma once

inline constexpr int glyphPixels = 8;                       // a glyph is 8 × 8 pixels
inline constexpr int glyphValues = glyphPixels * glyphPixels;  // floats per glyph image
inline constexpr int glyphImageCount = 122;                 // drawn images besides the blank one

// One image per byte value of Windows-1251. Every entry refers to an image: bytes without a
// glyph of their own refer to the blank one, look-alike letters share one image.
struct BitmapFont {
  // 64 floats each, 0 background or 1 ink, rows from the bottom up, each row left to right.
  const float* glyphs[256];
};

extern BitmapFont bitmapFont;  // filled by initFont, unchanged afterwards

// Interface units spanned by one glyph cell (8 font pixels, 8 × glyphScale() screen pixels) in the
// current window: the frame sets it whenever the window's size changes.
extern float cellSize;

// Builds the table from the glyph art. Needs no GL; call once before any text is drawn.
void initFont();

// The image drawn for one byte.
inline const float* glyphFor(unsigned char byte) { return bitmapFont.glyphs[byte]; }

// Screen pixels per font pixel along each side, 1 to 8: 1 is the game's own 8 × 8 text. The frame
// sets it together with the cell size at every reshape.
void setGlyphScale(int scale);
int glyphScale();

// The blank image (all zeros): space, controls and every byte without a glyph.
const float* blankGlyph();

// Lays out `length` characters of text (Windows-1251) in word-wrapped lines inside the box whose
// top-left corner is (x, y) in interface units, `width` wide; lines after the first are drawn
// only while they end within `height` below y. Each character is one glDrawPixels cell drawn at
// z = -1; depth testing is off while it draws and the enable state is restored afterwards.
void drawText(float x, float y, float width, float height, const char* text, int length);
