#include "engine/PathFinding/AStarPathFinder.h"

#include <cfloat>
#include <functional>
#include <vector>

#include "engine/PathFinding/PathFinderResult.h"
#include "engine/PathFinding/PathGraph.h"
#include "engine/PathFinding/SearchGraph.h"
#include "engine/System/EngineError.h"

namespace EngineCore {

namespace {

const char* const kSource = "PathFinding\\AStarPathFinder.cpp";

using PathSearch::Graph;
using PathSearch::Vertex;

class ZeroHeuristic : public boost::astar_heuristic<Graph, float> {
public:
    float operator()(Vertex) const { return 0.0f; }
};

}  // namespace

struct AStarPathFinder::Impl {
    std::unique_ptr<Graph> graph{new Graph};
    std::vector<float> distances;
    std::vector<float> costs;
    std::vector<Vertex> predecessors;
    std::vector<boost::default_color_type> colors;
};

AStarPathFinder::AStarPathFinder() : _impl(new Impl) {}

AStarPathFinder::~AStarPathFinder() = default;

void AStarPathFinder::ApplyGraph(const std::shared_ptr<PathGraph>& graph)
{
    PathFinder::ApplyGraph(graph);
    Impl& impl = *_impl;
    impl.graph = PathSearch::Build(graph.get());
    const size_t count = boost::num_vertices(*impl.graph);
    impl.distances.assign(count, 0.0f);
    impl.costs.assign(count, 0.0f);
    impl.predecessors.assign(count, 0);
    impl.colors.assign(count, boost::default_color_type());
}

bool AStarPathFinder::FindPath(const std::shared_ptr<PathNode>& start, const std::shared_ptr<PathNode>& goal,
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
            boost::astar_search(*impl.graph, from, ZeroHeuristic(),
                                PathSearch::GoalVisitor<boost::default_astar_visitor>(to),
                                boost::make_iterator_property_map(impl.predecessors.begin(), index),
                                boost::make_iterator_property_map(impl.costs.begin(), index),
                                boost::make_iterator_property_map(impl.distances.begin(), index),
                                boost::get(boost::edge_weight, *impl.graph), index,
                                boost::make_iterator_property_map(impl.colors.begin(), index), std::less<float>(),
                                std::plus<float>(), FLT_MAX, 0.0f);
        },
        kSource, 77, 79);
    if (!found)
        return false;

    std::vector<std::shared_ptr<PathNode>> path;
    if (!PathSearch::CollectPath(*graph, impl.predecessors, from, to, path))
        ThrowEngineError(kSource, 86, "Internal error.");
    SetPath(*result, path);
    return true;
}

}  // namespace EngineCore
