// The widget base: registration and the default rectangle.
#include "ui/widget.h"

#include <GL/gl.h>

#include "ui/window_list.h"

Widget::Widget(float x, float y, float width, float height) : x(x), y(y), width(width), height(height) {
  addWindow(this);
}

void Widget::onMouse(int, int, float, float) {}
void Widget::onSpecialKey(int, int, int) {}
void Widget::onKey(unsigned char, int, int) {}

void Widget::draw() {
  glBegin(GL_QUADS);
  glVertex3f(x + width, y - height, -1.0f);
  glVertex3f(x + width, y, -1.0f);
  glVertex3f(x, y, -1.0f);
  glVertex3f(x, y - height, -1.0f);
  glEnd();
}
