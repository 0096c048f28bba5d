// Drawing meshes with fixed-function GL: one interleaved array and one indexed draw per mesh;
// model trees and the landscapes made of them.
#pragma once

#include "model/mesh.h"

class Model;
struct ModelNode;

// Draws the mesh with the current matrix, its shininess in force only while it draws.
void drawMesh(const SphereMesh& mesh);

// Draws the part shifted by minus its mesh's pivot, then each child at its attachment point.
void drawModelNode(const ModelNode& node);

// Draws the whole tree with the current transform and render state.
void drawModel(const Model& model);

// Draws every landscape instance with the current modelview matrix as the world transform,
// leaving out those wholly outside the current view while viewCulling is on.
void drawLandscapes();
