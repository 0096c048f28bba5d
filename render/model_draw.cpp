// The GL side of the models: meshes, model trees and the landscapes.
#include "render/model_draw.h"

#include <GL/gl.h>

#include <cmath>

#include "model/landscapes.h"
#include "model/model.h"
#include "render/frustum.h"

void drawMesh(const SphereMesh& mesh) {
  if (mesh.vertexCount <= 0 || mesh.indexCount <= 0) return;
  glInterleavedArrays(GL_C4F_N3F_V3F, sizeof(MeshVertex), mesh.vertices.data());
  GLfloat saved = 0.0f;
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &saved);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, mesh.shininess);
  glDrawElements(GL_TRIANGLES, mesh.indexCount, GL_UNSIGNED_INT, mesh.indices.data());
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, saved);
}

namespace {

// Each level of a tree takes two modelview stack entries; a level that would overflow the stack
// is not drawn, so the matrices of the levels above stay intact.
bool roomForLevel() {
  GLint depth = 0, maxDepth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
  return depth + 2 <= maxDepth;
}

}  // namespace

void drawModelNode(const ModelNode& node) {
  glPushMatrix();
  if (node.mesh) {
    MeshPoint pivot = node.mesh->pivot();
    glTranslatef(-pivot.x, -pivot.y, -pivot.z);
    drawMesh(*node.mesh);
  }
  bool deeper = node.count > 0 && roomForLevel();
  for (std::int32_t i = 0; deeper && i < node.count; ++i) {
    std::size_t slot = static_cast<std::size_t>(i);
    glPushMatrix();
    if (slot < node.attachments.size() && node.attachments[slot]) {
      const AttachmentPoint& at = *node.attachments[slot];
      glTranslatef(at.x, at.y, at.z);
    }
    if (slot < node.children.size() && node.children[slot]) drawModelNode(*node.children[slot]);
    glPopMatrix();
  }
  glPopMatrix();
}

void drawModel(const Model& model) {
  if (model.root) drawModelNode(*model.root);
}

namespace {

// The bounding radius of an instance's mesh; a mesh that is not one of the landscapes' is
// never culled.
float landscapeRadius(const SphereMesh* mesh) {
  for (std::size_t i = 0; i < landscapeMeshes.size(); ++i)
    if (mesh == landscapeMeshes[i]) return landscapeRadii[i];
  return INFINITY;
}

}  // namespace

void drawLandscapes() {
  const bool cull = viewCulling;
  const Frustum view = cull ? currentViewFrustum() : Frustum{};
  for (const LandscapeInstance& instance : landscapeInstances) {
    if (!instance.mesh) continue;
    if (cull && sphereOutsideFrustum(view, instance.x, instance.y, instance.z, landscapeRadius(instance.mesh)))
      continue;
    glPushMatrix();
    glTranslatef(instance.x, instance.y, instance.z);
    glRotatef(instance.angle, 0.0f, 1.0f, 0.0f);
    drawMesh(*instance.mesh);
    glPopMatrix();
  }
}
