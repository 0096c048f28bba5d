// Keys on X11, read on a connection of our own that also listens to the game window's key presses.
// GLUT turns a key into text with XLookupString, which gives Latin-1 bytes ("é" would be drawn
// and stored as the Windows-1251 "й") and nothing at all for a Cyrillic keysym. Here Xlib's input
// method (Xutf8LookupString) turns each key into UTF-8 whatever the layout, with dead keys and
// compose sequences, and the game's own Windows-1251 table (app/text1251.h, the one its literals
// and console go through) turns that into bytes. Every key, plain ASCII included, comes from this
// one stream, so keys keep the order they were typed in and a composed character never arrives
// beside the keys it was composed from; GLUT's own report of a key only prompts a pump.
#include "app/text_input.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/XKBlib.h>

#include <clocale>
#include <string>

#include "base/text1251.h"

namespace {

struct KeyReader {
  Display* display = nullptr;  // our own connection to the game window's X server
  XIM method = nullptr;        // the input method, opened in the user's character-type locale
  XIC context = nullptr;       // its context on the game window
};
KeyReader reader;

// The GLUT code of a key GLUT's special callback reports, or -1: the keys freeglut on X11 maps.
int glutSpecialKey(KeySym key) {
  if (key >= XK_F1 && key <= XK_F12) return GLUT_KEY_F1 + int(key - XK_F1);
  switch (key) {
    case XK_Left: case XK_KP_Left: return GLUT_KEY_LEFT;
    case XK_Right: case XK_KP_Right: return GLUT_KEY_RIGHT;
    case XK_Up: case XK_KP_Up: return GLUT_KEY_UP;
    case XK_Down: case XK_KP_Down: return GLUT_KEY_DOWN;
    case XK_Prior: case XK_KP_Prior: return GLUT_KEY_PAGE_UP;
    case XK_Next: case XK_KP_Next: return GLUT_KEY_PAGE_DOWN;
    case XK_Home: case XK_KP_Home: return GLUT_KEY_HOME;
    case XK_End: case XK_KP_End: return GLUT_KEY_END;
    case XK_Insert: case XK_KP_Insert: return GLUT_KEY_INSERT;
    case XK_Num_Lock: return GLUT_KEY_NUM_LOCK;
    case XK_KP_Begin: return GLUT_KEY_BEGIN;
    case XK_KP_Delete: return GLUT_KEY_DELETE;
    case XK_Shift_L: return GLUT_KEY_SHIFT_L;
    case XK_Shift_R: return GLUT_KEY_SHIFT_R;
    case XK_Control_L: return GLUT_KEY_CTRL_L;
    case XK_Control_R: return GLUT_KEY_CTRL_R;
    case XK_Alt_L: return GLUT_KEY_ALT_L;
    case XK_Alt_R: return GLUT_KEY_ALT_R;
    case XK_Meta_L: case XK_Super_L: return GLUT_KEY_SUPER_L;
    case XK_Meta_R: case XK_Super_R: return GLUT_KEY_SUPER_R;
    default: return -1;
  }
}

// The input method follows the C library's character-type locale, which the game leaves at "C";
// the user's own locale brings its compose table. It is set only while the method opens, the
// method keeps it.
XIM openInputMethod(Display* display) {
  std::string saved = std::setlocale(LC_CTYPE, nullptr);
  for (const char* locale : {"", "C.UTF-8", "C"})
    if (std::setlocale(LC_CTYPE, locale) && XSupportsLocale()) break;
  XIM method = nullptr;
  // The modifiers name an input-method server (XMODIFIERS); without one Xlib's own method serves.
  for (const char* modifiers : {"", "@im=none"}) {
    if (XSetLocaleModifiers(modifiers)) method = XOpenIM(display, nullptr, nullptr, nullptr);
    if (method) break;
  }
  std::setlocale(LC_CTYPE, saved.c_str());
  return method;
}

void stop() {
  if (reader.context) XDestroyIC(reader.context);
  if (reader.method) XCloseIM(reader.method);
  if (reader.display) XCloseDisplay(reader.display);
  reader = KeyReader{};
}

}  // namespace

bool startTextInput() {
  Display* glutDisplay = glXGetCurrentDisplay();
  Window window = glXGetCurrentDrawable();  // freeglut draws straight into its X window
  if (!glutDisplay || !window) return false;
  reader.display = XOpenDisplay(DisplayString(glutDisplay));
  if (!reader.display) return false;
  reader.method = openInputMethod(reader.display);
  if (reader.method)
    reader.context = XCreateIC(reader.method, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                               window, XNFocusWindow, window, nullptr);
  if (!reader.context) {
    stop();
    return false;
  }
  long methodEvents = 0;  // what the input method itself needs to see, key releases for some
  XGetICValues(reader.context, XNFilterEvents, &methodEvents, nullptr);
  // Each client chooses its own events on a window: GLUT's selection stays as it is.
  XSelectInput(reader.display, window, KeyPressMask | methodEvents);
  XSetICFocus(reader.context);
  // Xlib keeps its keymap up to date from these itself, once asked to: a new layout, or a key
  // bound for a moment (as xdotool does for a character the keymap lacks).
  XkbSelectEvents(reader.display, XkbUseCoreKbd, XkbMapNotifyMask, XkbMapNotifyMask);
  XSync(reader.display, False);
  return true;
}

void pumpTextInput(TypedCharacterSink character, TypedSpecialSink special) {
  if (!reader.display) return;
  while (XPending(reader.display) > 0) {
    XEvent event;
    XNextEvent(reader.display, &event);
    if (XFilterEvent(&event, None)) continue;  // a dead key or part of a compose sequence
    if (event.type != KeyPress) continue;
    // Longer than one key ever gives; an input-method server's longer text is cut here.
    char text[256];
    KeySym key = NoSymbol;
    Status status = XLookupNone;
    int length = Xutf8LookupString(reader.context, &event.xkey, text, sizeof text, &key, &status);
    int x = event.xkey.x, y = event.xkey.y;
    if ((status == XLookupChars || status == XLookupBoth) && length > 0) {
      unsigned char bytes[sizeof text];
      std::size_t count = cp1251::fromUtf8(text, std::size_t(length), bytes, sizeof bytes);
      for (std::size_t i = 0; i < count; ++i) character(bytes[i], x, y);
    } else if (status == XLookupKeySym) {
      int code = glutSpecialKey(key);
      if (code >= 0) special(code, x, y);
    }
  }
}

bool useGlutKey(int character) { return !reader.display && character < 0x80; }
