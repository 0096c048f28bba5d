// The leak check's defaults in every test program of a sanitized build (the sanitizer runtime
// asks for them before main; without the sanitizers nothing here is used).
//
// libdbus, which SDL loads when its audio starts, keeps 1032 bytes allocated by its own realloc
// until the process ends; the report's only named frame is libdbus-1.so.3, so it is suppressed
// by that name and a leak of ours is still reported.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

#if VELMO_TEST_USES_GL
// GL programs run without the leak check: at exit the Mesa driver (dlopen'ed by libGL) is
// unloaded with its allocations still held, and LeakSanitizer reports them from
// "<unknown module>" (2.7 MB in 13 objects after the game, 18 to 480 KB after a GL test), with no
// frame a suppression could name.
extern "C" __attribute__((used)) const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif
