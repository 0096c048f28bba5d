# The Linux build's libraries: the system's GL, GLU and freeglut, SDL_mixer for the sound cues.
set(OpenGL_GL_PREFERENCE LEGACY)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
find_package(GLUT REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
find_package(X11 REQUIRED)
find_package(Threads REQUIRED)

# What the floors link: the window system and GL, the sound library.
set(VELMO_GL_LIBRARIES OpenGL::GL OpenGL::GLU GLUT::GLUT)
set(VELMO_SOUND_LIBRARIES PkgConfig::SDL2_MIXER)
