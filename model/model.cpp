// The model tree's ownership: releasing a subtree.
#include "model/model.h"

void ModelNode::release() {
  for (std::unique_ptr<ModelNode>& child : children) {
    if (child) child->release();
    child.reset();
  }
  children.clear();
  attachments.clear();
  count = 0;
  name.clear();
}
