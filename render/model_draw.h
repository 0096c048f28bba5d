// Drawing meshes with fixed-function GL: one interleaved array and one indexed draw per mesh.
#pragma once

#include "model/mesh.h"

// Draws the mesh with the current matrix, its shininess in force only while it draws.
void drawMesh(const SphereMesh& mesh);
