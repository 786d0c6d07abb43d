#pragma once
#include <memory>

namespace EngineCore {

class PathEdgeCost;
class PathNode;

// A connection between two nodes with its cost. Type 1 can be walked both ways with the
// same cost; any other type only from the first node to the second. Its id is its graph
// slot, -1 before it is added.
class PathEdge {
public:
    typedef int EdgeType;
    static const EdgeType TwoWay = 1;
    static const EdgeType OneWay = 0;

    PathEdge() = default;
    virtual ~PathEdge();

    // Stores the nodes, the cost and the type; true.
    virtual bool Create(const std::shared_ptr<PathNode>& first, const std::shared_ptr<PathNode>& second,
                        const std::shared_ptr<PathEdgeCost>& cost, EdgeType type);

    int GetId() const { return _id; }
    EdgeType GetType() const { return _type; }
    const std::shared_ptr<PathNode>& GetFirstNode() const { return _first; }
    const std::shared_ptr<PathNode>& GetSecondNode() const { return _second; }
    const std::shared_ptr<PathEdgeCost>& GetEdgeCost() const { return _cost; }

protected:
    friend class PathGraph;
    void SetId(int id) { _id = id; }

private:
    int _id = -1;
    EdgeType _type = TwoWay;
    std::shared_ptr<PathNode> _first;
    std::shared_ptr<PathNode> _second;
    std::shared_ptr<PathEdgeCost> _cost;
};

}  // namespace EngineCore
