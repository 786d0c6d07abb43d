#pragma once
#include "engine/PathFinding/PathEdgeCost.h"

namespace EngineCore {

// A fixed cost, 1.0 unless given.
class PathEdgeCostDefault : public PathEdgeCost {
public:
    PathEdgeCostDefault() = default;
    explicit PathEdgeCostDefault(float cost) : _cost(cost) {}

    float GetCost() const override { return _cost; }
    void SetCost(float cost) { _cost = cost; }

private:
    float _cost = 1.0f;
};

}  // namespace EngineCore
