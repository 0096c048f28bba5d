// GL extension functions through WGL. Its answer belongs to the current context's driver, so
// the lookup runs after the window is open.
#include "base/gl_proc.h"

#include <windows.h>

#include <cstdint>

GlProc lookupGlProc(const char* name) {
  PROC address = wglGetProcAddress(name);
  // Some drivers answer a failed lookup with a small integer instead of null.
  const auto value = reinterpret_cast<std::intptr_t>(address);
  if (value >= -1 && value <= 3) return nullptr;
  return reinterpret_cast<GlProc>(address);
}
