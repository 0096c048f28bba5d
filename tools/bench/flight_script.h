// The benchmark's flight: tools/bench/flight.vrp, a replay played through --replay, so every run
// draws the same pictures. Game 1: eight left turns head for three stars, five more lead into a
// mountain (crash at display 67). Game 2 (F2 at 90): a half turn to the left through two stars
// into another mountain (display 123). Game 3 (F2 at 180): straight on until the bubble times out
// (display 227); the ship then stands still and the cube map is still rendered every display.
#pragma once

inline constexpr const char* benchReplayPath = VELMO_BENCH_REPLAY;
inline constexpr int benchRestarts = 2;  // the F2 presses in the replay
inline constexpr int benchSteps = 300;   // displays in one run
