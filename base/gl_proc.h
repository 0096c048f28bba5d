// The platform's lookup of GL extension functions by name.
#pragma once

using GlProc = void (*)();
using ProcLookup = GlProc (*)(const char* name);  // lookupGlProc, or a test's stand-in

// The entry point of a GL extension function of the current context, or null.
GlProc lookupGlProc(const char* name);
