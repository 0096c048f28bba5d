// The solid sphere of GLUT (freeglut 3.4's picture, vertex for vertex), drawn in the current
// colour whatever client arrays the models left on.
#pragma once

// Draws the sphere glutSolidSphere(radius, slices, stacks) draws, from client arrays built once
// per (slices, stacks) with 32-bit indices, so it stays whole beyond freeglut's 16-bit limit of
// about 256 × 256 and allocates nothing per call once built. With the colour array that every
// mesh enables still on, each vertex would take the colour of a vertex of the last mesh drawn,
// so the colour and texture-coordinate arrays are off while it draws, and the client state is
// put back afterwards. Fewer than 1 slice or 2 stacks, or a radius that is not finite, draw
// nothing; more than maxSphereDetail slices or stacks draw at that detail.
void drawSolidSphere(double radius, int slices, int stacks);
