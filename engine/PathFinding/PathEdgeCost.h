#pragma once

namespace EngineCore {

// What walking an edge costs; asked each time a finder builds its graph.
class PathEdgeCost {
public:
    virtual ~PathEdgeCost();
    virtual float GetCost() const = 0;
};

}  // namespace EngineCore
