// The benchmark's flight: the same keys at the same displays in every run, so every run draws
// the same pictures. The stars and mountains stand where the shared random sequence puts them.
#pragma once

#include <GL/freeglut.h>

#include <array>

struct ScriptedInput {
  int step;             // the display before which the key arrives, counted from 0
  int special;          // a GLUT special key, or 0 for the ordinary key below
  unsigned char key;
};

// Game 1: eight left turns head for three stars, five more lead into a mountain (crash near
// display 68). Game 2 (restart at 90): a half turn to the left through three stars into another
// mountain. Game 3 (restart at 180): straight on without a star until the bubble times out; the
// ship then stands still and the cube map is still rendered every display.
inline constexpr std::array flightScript = {
    ScriptedInput{0, GLUT_KEY_LEFT, 0},
    ScriptedInput{1, GLUT_KEY_LEFT, 0},
    ScriptedInput{2, GLUT_KEY_LEFT, 0},
    ScriptedInput{3, GLUT_KEY_LEFT, 0},
    ScriptedInput{4, GLUT_KEY_LEFT, 0},
    ScriptedInput{5, GLUT_KEY_LEFT, 0},
    ScriptedInput{6, GLUT_KEY_LEFT, 0},
    ScriptedInput{7, GLUT_KEY_LEFT, 0},
    ScriptedInput{50, GLUT_KEY_LEFT, 0},
    ScriptedInput{51, GLUT_KEY_LEFT, 0},
    ScriptedInput{52, GLUT_KEY_LEFT, 0},
    ScriptedInput{53, GLUT_KEY_LEFT, 0},
    ScriptedInput{54, GLUT_KEY_LEFT, 0},
    ScriptedInput{90, GLUT_KEY_F2, 0},
    ScriptedInput{90, GLUT_KEY_LEFT, 0},
    ScriptedInput{91, GLUT_KEY_LEFT, 0},
    ScriptedInput{92, GLUT_KEY_LEFT, 0},
    ScriptedInput{93, GLUT_KEY_LEFT, 0},
    ScriptedInput{94, GLUT_KEY_LEFT, 0},
    ScriptedInput{95, GLUT_KEY_LEFT, 0},
    ScriptedInput{96, GLUT_KEY_LEFT, 0},
    ScriptedInput{97, GLUT_KEY_LEFT, 0},
    ScriptedInput{98, GLUT_KEY_LEFT, 0},
    ScriptedInput{99, GLUT_KEY_LEFT, 0},
    ScriptedInput{100, GLUT_KEY_LEFT, 0},
    ScriptedInput{101, GLUT_KEY_LEFT, 0},
    ScriptedInput{102, GLUT_KEY_LEFT, 0},
    ScriptedInput{103, GLUT_KEY_LEFT, 0},
    ScriptedInput{104, GLUT_KEY_LEFT, 0},
    ScriptedInput{180, GLUT_KEY_F2, 0},
};

inline constexpr int benchSteps = 300;  // displays in one run
