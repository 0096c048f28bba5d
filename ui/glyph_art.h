// The font's glyph art: sheets of 8×8 images drawn as rows of '.' (background) and '#' (ink),
// rows from the top of the screen down, glyphs side by side separated by one blank column.
#pragma once

#include <cstddef>

struct GlyphSheet {
  const char* chars;    // the Windows-1251 bytes drawn on the sheet, left to right
  const char* rows[8];  // top row first; glyph k occupies columns 9k to 9k + 7
};

extern const GlyphSheet glyphSheets[];
extern const std::size_t glyphSheetCount;

// Letters drawn with the image of another: lookAlikes[i] uses the glyph of lookAlikeSources[i].
extern const char* const lookAlikes;
extern const char* const lookAlikeSources;
