// GL extension functions through GLUT, which asks GLX.
#include "base/gl_proc.h"

#include <GL/freeglut.h>

GlProc lookupGlProc(const char* name) { return glutGetProcAddress(name); }
