#pragma once
#include <memory>

#include "engine/System/SlotArray.h"

namespace EngineCore {

class PathEdge;
class PathNode;

// Nodes and edges in slot arrays: an element's id is its slot. Removing empties a slot
// and leaves the element's id and the edges that name a removed node in place; the
// finders leave such edges out of their search.
class PathGraph {
public:
    PathGraph() = default;
    virtual ~PathGraph();

    // Store in the lowest free slot and write that slot into the element's id.
    void AddNode(const std::shared_ptr<PathNode>& node);
    void AddEdge(const std::shared_ptr<PathEdge>& edge);

    // Empty the slot named by the element's id; false when that slot does not hold it.
    bool RemoveNode(const std::shared_ptr<PathNode>& node);
    bool RemoveEdge(const std::shared_ptr<PathEdge>& edge);

    bool GetNode(int id, std::shared_ptr<PathNode>& node) const;
    bool GetEdge(int id, std::shared_ptr<PathEdge>& edge) const;

    // Slot counts, empty slots included (1 for a new graph, 0 after Clear).
    int GetNumNodes() const { return _nodes.GetCount(); }
    int GetNumEdges() const { return _edges.GetCount(); }

    // True when the node sits in its own slot of this graph.
    bool HoldsNode(const std::shared_ptr<PathNode>& node) const;

    void Clear();

private:
    SlotArray<std::shared_ptr<PathNode>> _nodes;
    SlotArray<std::shared_ptr<PathEdge>> _edges;
};

}  // namespace EngineCore
