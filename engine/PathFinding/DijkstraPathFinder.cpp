#include "engine/PathFinding/DijkstraPathFinder.h"

#include <cfloat>
#include <functional>
#include <vector>

#include "engine/PathFinding/PathFinderResult.h"
#include "engine/PathFinding/PathGraph.h"
#include "engine/PathFinding/SearchGraph.h"
#include "engine/System/EngineError.h"

namespace EngineCore {

namespace {

const char* const kSource = "PathFinding\\DijkstraPathFinder.cpp";

using PathSearch::Graph;
using PathSearch::Vertex;

}  // namespace

struct DijkstraPathFinder::Impl {
    std::unique_ptr<Graph> graph{new Graph};
    std::vector<float> distances;
    std::vector<Vertex> predecessors;
};

DijkstraPathFinder::DijkstraPathFinder() : _impl(new Impl) {}

DijkstraPathFinder::~DijkstraPathFinder() = default;

void DijkstraPathFinder::ApplyGraph(const std::shared_ptr<PathGraph>& graph)
{
    PathFinder::ApplyGraph(graph);
    Impl& impl = *_impl;
    impl.graph = PathSearch::Build(graph.get());
    const size_t count = boost::num_vertices(*impl.graph);
    impl.distances.assign(count, 0.0f);
    impl.predecessors.assign(count, 0);
}

bool DijkstraPathFinder::FindPath(const std::shared_ptr<PathNode>& start, const std::shared_ptr<PathNode>& goal,
                                  const std::shared_ptr<PathFinderResult>& result)
{
    const std::shared_ptr<PathGraph>& graph = GetGraph();
    Impl& impl = *_impl;
    Vertex from = 0;
    Vertex to = 0;
    if (!graph || !result || !PathSearch::Endpoints(*graph, *impl.graph, start, goal, from, to))
        return false;

    const auto index = boost::get(boost::vertex_index, *impl.graph);
    const bool found = PathSearch::SearchToGoal(
        [&] {
            boost::dijkstra_shortest_paths(*impl.graph, from,
                                           boost::make_iterator_property_map(impl.predecessors.begin(), index),
                                           boost::make_iterator_property_map(impl.distances.begin(), index),
                                           boost::get(boost::edge_weight, *impl.graph), index, std::less<float>(),
                                           std::plus<float>(), FLT_MAX, 0.0f,
                                           PathSearch::GoalVisitor<boost::default_dijkstra_visitor>(to));
        },
        kSource, 66, 68);
    if (!found)
        return false;

    std::vector<std::shared_ptr<PathNode>> path;
    if (!PathSearch::CollectPath(*graph, impl.predecessors, from, to, path))
        ThrowEngineError(kSource, 75, "Internal error.");
    SetPath(*result, path);
    return true;
}

}  // namespace EngineCore
