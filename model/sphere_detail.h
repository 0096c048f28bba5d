// Sphere details the game accepts: the landscapes' (also the detail of every sphere the game
// draws, the stars' glow among them) and the ship's (the factor on each part's detail scale).
#pragma once

inline constexpr int minLandscapeDetail = 10;
inline constexpr int maxLandscapeDetail = 360;
inline constexpr int minShipDetail = 2;
inline constexpr int maxShipDetail = 360;
