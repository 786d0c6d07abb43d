#include "engine/PathFinding/PathFinderResult.h"

namespace EngineCore {

PathFinderResult::~PathFinderResult() = default;

}  // namespace EngineCore
