#include "engine/PathFinding/SearchGraph.h"

#include "engine/PathFinding/PathEdge.h"
#include "engine/PathFinding/PathEdgeCost.h"
#include "engine/PathFinding/PathGraph.h"
#include "engine/PathFinding/PathNode.h"

namespace EngineCore {
namespace PathSearch {

std::unique_ptr<Graph> Build(const PathGraph* source)
{
    if (!source)
        return std::unique_ptr<Graph>(new Graph);
    const PathGraph& graph = *source;
    const int vertices = graph.GetNumNodes();
    std::unique_ptr<Graph> built(new Graph(static_cast<size_t>(vertices > 0 ? vertices : 0)));
    const int edges = graph.GetNumEdges();
    for (int id = 0; id < edges; ++id) {
        std::shared_ptr<PathEdge> edge;
        if (!graph.GetEdge(id, edge))
            continue;
        const std::shared_ptr<PathNode>& first = edge->GetFirstNode();
        const std::shared_ptr<PathNode>& second = edge->GetSecondNode();
        if (!edge->GetEdgeCost() || !graph.HoldsNode(first) || !graph.HoldsNode(second))
            continue;
        const Vertex u = static_cast<Vertex>(first->GetId());
        const Vertex v = static_cast<Vertex>(second->GetId());
        const float weight = edge->GetEdgeCost()->GetCost();
        boost::add_edge(u, v, weight, *built);
        if (edge->GetType() == PathEdge::TwoWay)
            boost::add_edge(v, u, weight, *built);
    }
    return built;
}

bool Endpoints(const PathGraph& graph, const Graph& searchGraph, const std::shared_ptr<PathNode>& start,
               const std::shared_ptr<PathNode>& goal, Vertex& from, Vertex& to)
{
    if (!start || !goal || start->GetId() < 0 || goal->GetId() < 0)
        return false;
    from = static_cast<Vertex>(start->GetId());
    to = static_cast<Vertex>(goal->GetId());
    const Vertex count = boost::num_vertices(searchGraph);
    if (from >= count || to >= count)
        return false;
    return graph.HoldsNode(start) && graph.HoldsNode(goal);
}

bool CollectPath(const PathGraph& graph, const std::vector<Vertex>& predecessors, Vertex from, Vertex to,
                 std::vector<std::shared_ptr<PathNode>>& path)
{
    std::vector<Vertex> reversed{to};
    // A chain longer than the vertex count has a loop in it.
    while (reversed.back() != from) {
        const Vertex previous = predecessors[reversed.back()];
        if (previous == reversed.back() || reversed.size() > predecessors.size())
            return false;
        reversed.push_back(previous);
    }
    path.clear();
    path.reserve(reversed.size());
    for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
        std::shared_ptr<PathNode> node;
        if (!graph.GetNode(static_cast<int>(*it), node))
            return false;
        path.push_back(node);
    }
    return true;
}

}  // namespace PathSearch
}  // namespace EngineCore
