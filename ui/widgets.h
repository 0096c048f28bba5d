// The interface's widgets: a line of text, a button, a one-line text field with a caption, and
// a scrolling word-wrapped text view. Each is a top-level window created on the heap and owned by
// the window list from its construction on. Lengths that depend on the font are in cells
// (cellSize interface units, ui/font.h).
//
// An action or onEnter may close every window, destroying the widget whose handler runs, so a
// handler touches nothing of its widget after it has called one.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "ui/widget.h"

using Action = void (*)();                         // a button's action
using TextAction = void (*)(const std::string& text);  // what a text field does with its input on Enter

class Label : public Widget {
 public:
  Label(float x, float y, float width, float height, std::string text);
  // One line whose cells lie one cell below the top, from the left edge; no background.
  void draw() override;

  std::string text;  // Windows-1251; the caption of a text field, the content of a text view
};

class Button : public Label {
 public:
  Button(float x, float y, float width, float height, std::string text, Action action);
  // A press of any mouse button inside the rectangle, edges included, runs the action.
  void onMouse(int button, int state, float mx, float my) override;
  // Space runs the action; every other key, Enter included, does nothing.
  void onKey(unsigned char key, int x, int y) override;
  // The rectangle in the current colour and the text as one line, centred when it fits.
  void draw() override;

  Action action;  // may be empty
};

// Where a button's text line starts: centred on whole characters when the text is narrower than
// the button, else one cell in from the left edge. y is the top of the line's box.
struct TextPlacement {
  float x;
  float y;
};
TextPlacement buttonTextPlacement(float x, float y, float width, float height, int length, float cell);

class TextField : public Label {
 public:
  // Holds at most capacity − 1 characters (capacity is at least 1).
  TextField(float x, float y, float width, float height, std::string caption, int capacity, TextAction onEnter);
  // Backspace deletes the last character, Enter passes a copy of the input to onEnter and keeps
  // it, any other byte is appended while there is room.
  void onKey(unsigned char key, int x, int y) override;
  // Left deletes the last character, like backspace.
  void onSpecialKey(int key, int x, int y) override;
  void draw() override;

  // The caption shows only in a field taller than five cells.
  bool showsCaption(float cell) const { return 5.0f * cell < height; }
  const char* input() const { return buffer.data(); }

  int capacity;            // bytes of the input buffer, terminating zero included
  int length = 0;          // characters in the input
  TextAction onEnter;      // may be empty
  std::vector<char> buffer;  // capacity bytes, zero-terminated input

 private:
  TextField(float x, float y, float width, float height, std::string caption, std::vector<char> buffer,
            TextAction onEnter);
};

class TextView : public Label {
 public:
  TextView(float x, float y, float width, float height, std::string text);
  // Presses in the top-right cell scroll up a line, in the bottom-right cell down a line.
  void onMouse(int button, int state, float mx, float my) override;
  // Up and Page Up scroll up a line (not above the first), Down and Page Down down a line.
  void onSpecialKey(int key, int x, int y) override;
  // Draws the lines from the scroll position on; a scroll past the end drains one line a frame.
  void draw() override;

  int scroll = 0;  // index of the first line shown, never negative
};

// True when the widget with the keyboard focus takes characters as text (a text field).
bool focusTakesText();

// The scroll arrows: 8×8 images of 0 or 255, rows from the bottom up.
extern const std::array<unsigned char, 64> scrollUpIcon;
extern const std::array<unsigned char, 64> scrollDownIcon;
