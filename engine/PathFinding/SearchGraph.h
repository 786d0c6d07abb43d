#pragma once
// What both finders share: the Boost graph they search, built from a PathGraph, and the
// visitor that ends a search when the goal is taken from the queue. Only the finders'
// sources include this header.

#include <cstddef>
#include <exception>
#include <memory>
#include <vector>

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>

#include "engine/System/EngineError.h"
#include "engine/System/FoundGoal.h"

namespace EngineCore {

class PathGraph;
class PathNode;

namespace PathSearch {

typedef boost::adjacency_list<boost::listS, boost::vecS, boost::directedS, boost::no_property,
                              boost::property<boost::edge_weight_t, float>>
    Graph;
typedef boost::graph_traits<Graph>::vertex_descriptor Vertex;

// One vertex per node slot (vertex = node id); edges in edge-id order, a two-way edge
// adding its forward arc before its reverse. Edges without a cost, or naming a node the
// graph does not hold (never added, removed, or replaced in its slot), are left out: a
// search must never step onto a vertex with no node behind it. No graph gives no vertex.
// (Held by pointer: the library's graph copies itself even to swap.)
std::unique_ptr<Graph> Build(const PathGraph* graph);

// The vertices of start and goal; false when either node is missing or not the graph's
// own node in its slot.
bool Endpoints(const PathGraph& graph, const Graph& searchGraph, const std::shared_ptr<PathNode>& start,
               const std::shared_ptr<PathNode>& goal, Vertex& from, Vertex& to);

// The nodes from `from` to `to` along the predecessor chain; false when the chain is
// broken or names a vertex the graph holds no node for.
bool CollectPath(const PathGraph& graph, const std::vector<Vertex>& predecessors, Vertex from, Vertex to,
                 std::vector<std::shared_ptr<PathNode>>& path);

// Runs `search`, which a GoalVisitor ends once the goal is taken from the queue: true
// when it was, false when the search ran out first. Any other failure becomes an engine
// error from `source`: a standard exception's own message at `errorLine`, anything
// else "Internal error." at `internalLine`.
template <typename Search>
bool SearchToGoal(Search&& search, const char* source, int errorLine, int internalLine)
{
    try {
        search();
    } catch (const FoundGoal&) {
        return true;
    } catch (const std::exception& error) {
        ThrowEngineError(source, errorLine, error.what());
    } catch (...) {
        ThrowEngineError(source, internalLine, "Internal error.");
    }
    return false;
}

template <typename Base>
class GoalVisitor : public Base {
public:
    explicit GoalVisitor(Vertex goal) : _goal(goal) {}
    void examine_vertex(Vertex u, const Graph&)
    {
        if (u == _goal)
            throw FoundGoal();
    }

private:
    Vertex _goal;
};

}  // namespace PathSearch
}  // namespace EngineCore
