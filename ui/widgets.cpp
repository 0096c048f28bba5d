// The widgets' construction and their answers to keys and the mouse (no drawing here).
#include "ui/widgets.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "ui/font.h"
#include "ui/window_list.h"

namespace {

bool inside(float px, float py, float left, float top, float right, float bottom) {
  return left <= px && px <= right && bottom <= py && py <= top;
}

}  // namespace

// The text is built by the caller, so nothing can fail after the base has joined the window list.
Label::Label(float x, float y, float width, float height, std::string text)
    : Widget(x, y, width, height), text(std::move(text)) {}

Button::Button(float x, float y, float width, float height, std::string text, Action action)
    : Label(x, y, width, height, std::move(text)), action(action) {}

void Button::onMouse(int, int state, float mx, float my) {
  if (state != GLUT_DOWN || !inside(mx, my, x, y, x + width, y - height)) return;
  if (Action run = action) run();  // may destroy this button
}

void Button::onKey(unsigned char key, int, int) {
  if (key != ' ') return;
  if (Action run = action) run();  // may destroy this button
}

TextPlacement buttonTextPlacement(float x, float y, float width, float height, int length, float cell) {
  TextPlacement p;
  if (static_cast<float>(length) * cell < width)
    p.x = x + width / 2.0f - static_cast<float>(length / 2) * cell;
  else
    p.x = x + cell;
  p.y = y - height / 2.0f + cell / 2.0f;
  return p;
}

// The buffer is allocated before the base joins the window list (see Label).
TextField::TextField(float x, float y, float width, float height, std::string caption, int capacity,
                     TextAction onEnter)
    : TextField(x, y, width, height, std::move(caption),
                std::vector<char>(static_cast<std::size_t>(std::max(capacity, 1)), '\0'), onEnter) {}

TextField::TextField(float x, float y, float width, float height, std::string caption, std::vector<char> buffer,
                     TextAction onEnter)
    : Label(x, y, width, height, std::move(caption)),
      capacity(static_cast<int>(buffer.size())),
      onEnter(onEnter),
      buffer(std::move(buffer)) {}

void TextField::onKey(unsigned char key, int, int) {
  if (key == 8) {
    if (length > 0) buffer[static_cast<std::size_t>(--length)] = '\0';
  } else if (key == 13) {
    if (TextAction enter = onEnter) {
      const std::string entered(buffer.data(), static_cast<std::size_t>(length));
      enter(entered);  // may destroy this field
    }
  } else if (length < capacity - 1) {
    buffer[static_cast<std::size_t>(length++)] = static_cast<char>(key);
    buffer[static_cast<std::size_t>(length)] = '\0';
  }
}

void TextField::onSpecialKey(int key, int, int) {
  if (key == GLUT_KEY_LEFT && length > 0) buffer[static_cast<std::size_t>(--length)] = '\0';
}

bool focusTakesText() { return dynamic_cast<const TextField*>(windowList.focus()) != nullptr; }

TextView::TextView(float x, float y, float width, float height, std::string text)
    : Label(x, y, width, height, std::move(text)) {}

void TextView::onMouse(int, int state, float mx, float my) {
  if (state != GLUT_DOWN) return;
  const float cell = cellSize;
  if (inside(mx, my, x + width - cell, y, x + width, y - cell) && scroll > 0) --scroll;
  if (inside(mx, my, x + width - cell, y - height + cell, x + width, y - height) && scroll < INT_MAX) ++scroll;
}

void TextView::onSpecialKey(int key, int, int) {
  switch (key) {
    case GLUT_KEY_UP:
    case GLUT_KEY_PAGE_UP:
      if (scroll > 0) --scroll;
      break;
    case GLUT_KEY_DOWN:
    case GLUT_KEY_PAGE_DOWN:
      if (scroll < INT_MAX) ++scroll;
      break;
    default:
      break;
  }
}
