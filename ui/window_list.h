// The interface windows: every live widget in creation order, the keyboard focus and the
// highlight. The list owns its widgets.
#pragma once

#include <memory>
#include <vector>

class Widget;

class WindowList {
 public:
  // Appends a widget and takes ownership; the focus goes to the first widget.
  void add(Widget* widget);
  // Destroys every widget in list order and marks the list as rebuilt.
  void closeAll();

  int size() const { return static_cast<int>(widgets_.size()); }
  bool empty() const { return widgets_.empty(); }
  Widget* at(int index) const { return widgets_[static_cast<std::size_t>(index)].get(); }
  Widget* focus() const { return focus_ < 0 ? nullptr : at(focus_); }
  Widget* highlighted() const { return highlighted_; }

  // Tab: the focus moves on, wrapping from the last widget to the first, and is highlighted.
  void focusNext();

  bool listRebuilt = false;  // set by closeAll; a walk over the widgets stops when it sees it

 private:
  std::vector<std::unique_ptr<Widget>> widgets_;  // creation order
  int focus_ = -1;                                // index of the focused widget, -1 when empty
  Widget* highlighted_ = nullptr;                 // drawn in the highlight colour, or none
};

extern WindowList windowList;  // the one list of the program

// Called by every widget when it is created; always true.
bool addWindow(Widget* widget);
// Called by every dialog before it builds its widgets.
void closeAllWindows();
