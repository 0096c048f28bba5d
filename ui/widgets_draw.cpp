// How the widgets draw themselves, over the scene in the plane z = -1, in the colour the frame
// chose for them (translucent green, or yellow when highlighted).
#include <GL/gl.h>

#include <array>

#include "ui/font.h"
#include "ui/text_layout.h"
#include "ui/widgets.h"

namespace {

// The up arrow, rows from the top of the screen down: a frame around a stepped arrowhead.
constexpr const char* upIconArt[8] = {
    "########",
    "#......#",
    "#..##..#",
    "#..##..#",
    "#.####.#",
    "#.####.#",
    "#......#",
    "########",
};

// Image rows from the bottom up; `flipped` turns the art upside down.
constexpr std::array<unsigned char, 64> iconImage(bool flipped) {
  std::array<unsigned char, 64> image{};
  for (int row = 0; row < 8; ++row) {
    const char* line = upIconArt[flipped ? row : 7 - row];
    for (int column = 0; column < 8; ++column) image[static_cast<std::size_t>(row * 8 + column)] = line[column] == '#' ? 255 : 0;
  }
  return image;
}

void fillRect(float left, float top, float right, float bottom) {
  glBegin(GL_QUADS);
  glVertex3f(right, bottom, -1.0f);
  glVertex3f(right, top, -1.0f);
  glVertex3f(left, top, -1.0f);
  glVertex3f(left, bottom, -1.0f);
  glEnd();
}

int textLength(const std::string& text) { return static_cast<int>(text.size()); }

}  // namespace

const std::array<unsigned char, 64> scrollUpIcon = iconImage(false);
const std::array<unsigned char, 64> scrollDownIcon = iconImage(true);

void Label::draw() {
  drawText(x, y - cellSize, width, 0.0f, text.c_str(), textLength(text));
}

void Button::draw() {
  Widget::draw();
  const float cell = cellSize;
  const int length = textLength(text);
  TextPlacement p = buttonTextPlacement(x, y, width, height, length, cell);
  drawText(p.x, p.y, width, 0.0f, text.c_str(), length);
}

void TextField::draw() {
  const float cell = cellSize;
  fillRect(x, y - cell, x + width, y - height);
  glColor3f(0.0f, 0.0f, 0.0f);
  fillRect(x + cell, y - height + 2.0f * cell, x + width - cell, y - height + cell);
  if (showsCaption(cell))
    drawText(x + cell, y - 2.0f * cell, width - 2.0f * cell, height - 3.0f * cell, text.c_str(), textLength(text));
  drawText(x + cell, y - height + 2.0f * cell, width - 2.0f * cell, cell, buffer.data(), length);
}

void TextView::draw() {
  const float cell = cellSize;
  GLfloat savedColour[4];
  glGetFloatv(GL_CURRENT_COLOR, savedColour);
  Widget::draw();
  glColor3f(0.0f, 0.0f, 0.0f);
  fillRect(x + cell, y - cell, x + width - cell, y - height + cell);

  const int length = textLength(text);
  const int perLine = charsPerLine(width - 2.0f * cell, cell);
  const int pos = scrolledTextStart(text.c_str(), length, perLine, scroll);
  drawText(x + cell, y - cell, width - 2.0f * cell, height - 2.0f * cell, text.c_str() + pos, length - pos);

  glPushAttrib(GL_PIXEL_MODE_BIT);
  glPixelZoom(static_cast<float>(glyphScale()), static_cast<float>(glyphScale()));  // an icon fills a cell
  glRasterPos4f(x + width - cell, y - cell, -1.0f, 1.0f);
  glDrawPixels(8, 8, GL_GREEN, GL_UNSIGNED_BYTE, scrollUpIcon.data());
  glRasterPos4f(x + width - cell, y - height, -1.0f, 1.0f);
  glDrawPixels(8, 8, GL_GREEN, GL_UNSIGNED_BYTE, scrollDownIcon.data());
  glPopAttrib();
  glColor4fv(savedColour);
}
