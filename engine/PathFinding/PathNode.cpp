#include "engine/PathFinding/PathNode.h"

namespace EngineCore {

PathNode::~PathNode() = default;

}  // namespace EngineCore
