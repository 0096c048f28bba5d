// The window list and its focus rules.
#include "ui/window_list.h"

#include "ui/widget.h"

WindowList windowList;

void WindowList::add(Widget* widget) {
  widgets_.emplace_back(widget);
  focus_ = 0;
}

void WindowList::closeAll() {
  // Destroy in list order; a destructor never sees a half-cleared list.
  std::vector<std::unique_ptr<Widget>> dying;
  dying.swap(widgets_);
  focus_ = -1;
  highlighted_ = nullptr;
  listRebuilt = true;
  for (auto& widget : dying) widget.reset();
}

void WindowList::focusNext() {
  if (widgets_.empty()) return;
  focus_ = (focus_ + 1) % size();
  highlighted_ = at(focus_);
}

bool addWindow(Widget* widget) {
  windowList.add(widget);
  return true;
}

void closeAllWindows() { windowList.closeAll(); }
