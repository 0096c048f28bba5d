// The base of the interface windows: a rectangle in interface units that receives events and
// draws itself. Creating a widget hands it to the window list, which owns it from then on.
#pragma once

class Widget {
 public:
  // Appends the new widget to the window list.
  Widget(float x, float y, float width, float height);
  virtual ~Widget() = default;
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;

  // A mouse button event; mx, my in interface units.
  virtual void onMouse(int button, int state, float mx, float my);
  // A GLUT special key; x, y the pointer in pixels.
  virtual void onSpecialKey(int key, int x, int y);
  // A character byte; x, y the pointer in pixels.
  virtual void onKey(unsigned char key, int x, int y);
  // Fills the rectangle in the current colour.
  virtual void draw();

  float x;       // left edge
  float y;       // top edge
  float width;   // extends right from x
  float height;  // extends down from y
};
