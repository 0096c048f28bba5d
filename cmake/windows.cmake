# The Windows build's libraries: freeglut built static for it (scripts/lib/windows.sh puts it in
# the build folder), the system's GL and GLU, and the multimedia library for the sound cues.
set(VELMO_FREEGLUT_DIR "" CACHE PATH "freeglut's static Windows build (include/ and lib/libglut.a)")
if(NOT EXISTS "${VELMO_FREEGLUT_DIR}/lib/libglut.a")
  message(FATAL_ERROR "VELMO_FREEGLUT_DIR must name freeglut's static Windows build; "
                      "scripts/package --windows makes one")
endif()

# Set by hand rather than through FindGLUT, whose target misses the static library's define and
# the system libraries freeglut itself calls.
add_library(velmo_freeglut STATIC IMPORTED)
set_target_properties(velmo_freeglut PROPERTIES
  IMPORTED_LOCATION "${VELMO_FREEGLUT_DIR}/lib/libglut.a"
  INTERFACE_INCLUDE_DIRECTORIES "${VELMO_FREEGLUT_DIR}/include"
  INTERFACE_COMPILE_DEFINITIONS FREEGLUT_STATIC
  INTERFACE_LINK_LIBRARIES "glu32;opengl32;winmm;gdi32")
find_package(Threads REQUIRED)

# What the floors link: the window system and GL, the multimedia library for the sound cues.
set(VELMO_GL_LIBRARIES velmo_freeglut glu32 opengl32)
set(VELMO_SOUND_LIBRARIES winmm)

# Every program carries its C and C++ runtimes, so it needs nothing but the system's DLLs.
add_link_options(-static)

# The data is the one the Linux build machine's tools write.
set(VELMO_HOST_DATA_DIR "" CACHE PATH "The data folder of a Linux build of this tree")
set(VELMO_DATA_DIR ${VELMO_HOST_DATA_DIR})
# Nothing to write here: the tests that read the data wait on this name in the Linux build.
add_custom_target(assets)
