/* An LD_PRELOAD library for tests that play a driver without some GL extensions: every name
   listed (space separated) in VELMO_HIDE_GL_EXTENSION is taken out of glGetString(GL_EXTENSIONS).
   Other strings, and the list when the variable is unset, pass through unchanged. */
#define _GNU_SOURCE
#include <GL/gl.h>
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

typedef const GLubyte* (*GetStringFunction)(GLenum);

/* Tests look this up to prove the library is loaded. */
int velmoHideGlExtensionLoaded = 1;

static const GLubyte* lastDriverList; /* the driver's list the filtered copy was made from */
static char* lastHidden;              /* the variable's value it was made with */
static char* filteredList;            /* that list without the hidden names */

static int isHidden(const char* word, size_t length, const char* hidden) {
  while (*hidden) {
    size_t skip = strspn(hidden, " \t\n");
    hidden += skip;
    size_t nameLength = strcspn(hidden, " \t\n");
    if (nameLength == length && nameLength > 0 && strncmp(hidden, word, length) == 0) return 1;
    hidden += nameLength;
  }
  return 0;
}

static char* filterList(const char* list, const char* hidden) {
  char* out = malloc(strlen(list) + 1);
  if (!out) return NULL;
  char* end = out;
  for (const char* at = list; *at;) {
    at += strspn(at, " ");
    size_t length = strcspn(at, " ");
    if (length > 0 && !isHidden(at, length, hidden)) {
      if (end != out) *end++ = ' ';
      memcpy(end, at, length);
      end += length;
    }
    at += length;
  }
  *end = '\0';
  return out;
}

const GLubyte* glGetString(GLenum name) {
  static GetStringFunction driverGetString;
  if (!driverGetString) driverGetString = (GetStringFunction)dlsym(RTLD_NEXT, "glGetString");
  if (!driverGetString) return NULL;
  const GLubyte* text = driverGetString(name);
  const char* hidden = getenv("VELMO_HIDE_GL_EXTENSION");
  if (name != GL_EXTENSIONS || !text || !hidden || !*hidden) return text;
  if (text != lastDriverList || !filteredList || !lastHidden || strcmp(hidden, lastHidden) != 0) {
    free(filteredList);
    free(lastHidden);
    filteredList = filterList((const char*)text, hidden);
    lastHidden = strdup(hidden);
    lastDriverList = text;
  }
  return filteredList ? (const GLubyte*)filteredList : text;
}
