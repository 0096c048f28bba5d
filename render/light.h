// The scene's light set-up.
#pragma once

// A directional light of the given colour (diffuse and specular) from `position`, which the
// current modelview matrix transforms, so set the camera first.
void setLight(int light, const float position[3], const float colour[4]);
