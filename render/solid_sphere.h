// GLUT's solid sphere, drawn in the current colour whatever client arrays the models left on.
#pragma once

// glutSolidSphere draws from client arrays (freeglut does): with the colour array that every
// mesh enables still on, each of its vertices would take the colour of a vertex of the last mesh
// drawn instead of the current colour. This turns the colour and texture-coordinate arrays off
// around it and puts the client state back afterwards.
void drawSolidSphere(double radius, int slices, int stacks);
