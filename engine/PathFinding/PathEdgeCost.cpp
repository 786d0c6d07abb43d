#include "engine/PathFinding/PathEdgeCost.h"

namespace EngineCore {

PathEdgeCost::~PathEdgeCost() = default;

}  // namespace EngineCore
