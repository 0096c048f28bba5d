// The game's state and its flight rules: the ship flies on its own at a fixed height; the arrow
// keys turn it by 10 degrees a step, F2 restarts, P pauses.
#pragma once

struct Vec3 {
  float x;
  float y;
  float z;
};

// What one step did beside the state it left; the drawing of the same display reads both.
struct StepEvents {
  // The eye when the step began: the display's own view is drawn from there, while the cube map
  // is rendered around the ship where the flight took it.
  Vec3 viewCamera{0.0f, 0.0f, 0.0f};
  float viewHeading = 0.0f;
  bool crashed = false;      // the ship has just hit a mountain: blast cue, name entry
  bool collected = false;    // a star was taken and counted: collect cue
  bool timedOut = false;     // the bubble has just passed its limit: name entry
  bool shaken = false;       // the blast shook the scene by `shake`
  Vec3 shake{0.0f, 0.0f, 0.0f};  // world units, -1 or 0 per axis
  bool blastShown = false;   // the blast grew: its sphere, and past radius 5 its ring, are drawn
  bool bubbleShown = false;  // the bubble was up when the step began: its sphere is drawn
};

struct GameState {
  Vec3 camera;        // world units; translation after the heading rotation, the eye stands at -camera
  float heading;      // degrees about +y; 0 looks along -z, 90 along +x
  float turnRequest;  // -1, 0 or +1: the turn asked for by the last arrow key, not yet carried out
  int crashed;        // 1 once the ship has hit a mountain in this game
  float blastRadius;  // world units; grows by 1 a step after a crash, up to 10
  float bubble;       // world units; bubble radius and bar length, 0 once the game has timed out
  int collected;      // stars collected in this game: the score
  bool paused = false;    // P: no step runs and nothing is drawn from the random sequence
  StepEvents lastStep{};  // what the last step did: a paused display draws it again
};

extern GameState gameState;  // the one game of the program

inline constexpr float shipHeight = -7.0f;   // ship below the eye (eye space y)
inline constexpr float shipDistance = 20.0f; // ship ahead of the eye
inline constexpr float flightSpeed = 2.0f;   // world units per step
inline constexpr float turnStep = 10.0f;     // degrees per carried-out turn request

// The state of a new game: the eye at (110, 15, 0) looking along -z.
GameState initialGameState();

// The heading in radians, computed in single precision as the rules demand.
float headingRadians(float heading);

// The point both hit tests use: the ship's horizontal position negated, with the camera's y.
Vec3 probePoint(const GameState& state);

// One step of flight while not crashed: move 2 units forward (unless timed out), then carry out a
// pending turn. The move uses the heading from before the turn.
void flightStep(GameState& state);

// What an arrow key does to the flight: a turn request while the game runs. Whatever the key,
// the heading is then brought back into 0..360 (exactly 360 stays).
void applySpecialKey(GameState& state, int key);

// Resets the game and shows the main menu.
void restartGame();

// Sets the dialogs' actions for this game: the menu's button restarts it, the name entry enters
// its score.
void connectDialogs();

// The frame's special-key hook: F2 restarts, Left and Right ask for a turn.
void gameSpecialKey(int key, int x, int y);

// The frame's keyboard hook: P pauses and resumes the game (so does З, the P key of a Russian
// layout), unless the focused widget takes text, for which it is a letter.
void gameKey(unsigned char key, int x, int y);

// Loads the view transform: the rotation by `heading` degrees, then the camera translation.
void placeCamera(float heading, const Vec3& camera);
