#include "engine/PathFinding/PathGraph.h"

#include "engine/PathFinding/PathEdge.h"
#include "engine/PathFinding/PathNode.h"

namespace EngineCore {

PathGraph::~PathGraph() = default;

void PathGraph::AddNode(const std::shared_ptr<PathNode>& node)
{
    if (!node)
        return;
    node->SetId(_nodes.Add(node));
}

void PathGraph::AddEdge(const std::shared_ptr<PathEdge>& edge)
{
    if (!edge)
        return;
    edge->SetId(_edges.Add(edge));
}

// A removed element keeps its id while its slot may be reused: only the element itself
// is ever taken out, never a later one in its old slot.
bool PathGraph::RemoveNode(const std::shared_ptr<PathNode>& node)
{
    return HoldsNode(node) && _nodes.Remove(node->GetId());
}

bool PathGraph::RemoveEdge(const std::shared_ptr<PathEdge>& edge)
{
    return edge && _edges.IsValid(edge->GetId()) && _edges.At(edge->GetId()) == edge &&
           _edges.Remove(edge->GetId());
}

bool PathGraph::GetNode(int id, std::shared_ptr<PathNode>& node) const
{
    return _nodes.Get(id, node);
}

bool PathGraph::GetEdge(int id, std::shared_ptr<PathEdge>& edge) const
{
    return _edges.Get(id, edge);
}

bool PathGraph::HoldsNode(const std::shared_ptr<PathNode>& node) const
{
    return node && _nodes.IsValid(node->GetId()) && _nodes.At(node->GetId()) == node;
}

void PathGraph::Clear()
{
    _nodes.Clear();
    _edges.Clear();
}

}  // namespace EngineCore
