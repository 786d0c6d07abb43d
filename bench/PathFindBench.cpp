// A* from corner to corner of a 512 x 512 grid with random costs: the engine's finder
// against the same search written directly with the graph library's astar_search, on
// the same graph, in the same run. Pairs to compare:
//   FinderFindPath   vs DirectAstarSearch          the search alone, graph built once
//   ManagerTask      vs DirectBuildAndAstarSearch  graph built per search, as each queued
//                                                  task does
#include <benchmark/benchmark.h>

#include <cfloat>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>

#include "engine/PathFinding/AStarPathFinder.h"
#include "engine/PathFinding/PathEdge.h"
#include "engine/PathFinding/PathEdgeCostDefault.h"
#include "engine/PathFinding/PathFindManager.h"
#include "engine/PathFinding/PathFindManagerTask.h"
#include "engine/PathFinding/PathFinderResult.h"
#include "engine/PathFinding/PathGraph.h"
#include "engine/PathFinding/PathNode.h"

namespace {

const int kSide = 512;

typedef boost::adjacency_list<boost::listS, boost::vecS, boost::directedS, boost::no_property,
                              boost::property<boost::edge_weight_t, float>>
    Graph;
typedef boost::graph_traits<Graph>::vertex_descriptor Vertex;

struct Link {
    int from;
    int to;
    float cost;
};

// The grid once: its links (right and down neighbours, walkable both ways) in the order
// both sides add them, and the same links as a PathGraph.
struct Grid {
    std::vector<Link> links;
    std::shared_ptr<EngineCore::PathGraph> graph = std::make_shared<EngineCore::PathGraph>();
    std::vector<std::shared_ptr<EngineCore::PathNode>> nodes;

    Grid()
    {
        std::mt19937 random(512);
        std::uniform_real_distribution<float> cost(1.0f, 10.0f);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                if (x + 1 < kSide)
                    links.push_back({y * kSide + x, y * kSide + x + 1, cost(random)});
                if (y + 1 < kSide)
                    links.push_back({y * kSide + x, (y + 1) * kSide + x, cost(random)});
            }
        }
        for (int i = 0; i < kSide * kSide; ++i) {
            nodes.push_back(std::make_shared<EngineCore::PathNode>());
            graph->AddNode(nodes.back());
        }
        for (const Link& link : links) {
            auto edge = std::make_shared<EngineCore::PathEdge>();
            edge->Create(nodes[link.from], nodes[link.to], std::make_shared<EngineCore::PathEdgeCostDefault>(link.cost),
                         EngineCore::PathEdge::TwoWay);
            graph->AddEdge(edge);
        }
    }

    const std::shared_ptr<EngineCore::PathNode>& Start() const { return nodes.front(); }
    const std::shared_ptr<EngineCore::PathNode>& Goal() const { return nodes.back(); }
};

const Grid& TheGrid()
{
    static const Grid grid;
    return grid;
}

// ---- The direct search ------------------------------------------------------------

struct Found {};

class Zero : public boost::astar_heuristic<Graph, float> {
public:
    float operator()(Vertex) const { return 0.0f; }
};

class StopAtGoal : public boost::default_astar_visitor {
public:
    explicit StopAtGoal(Vertex goal) : _goal(goal) {}
    void examine_vertex(Vertex u, const Graph&)
    {
        if (u == _goal)
            throw Found();
    }

private:
    Vertex _goal;
};

std::unique_ptr<Graph> BuildDirect(const Grid& grid)
{
    std::unique_ptr<Graph> g(new Graph(static_cast<size_t>(kSide * kSide)));
    for (const Link& link : grid.links) {
        boost::add_edge(static_cast<Vertex>(link.from), static_cast<Vertex>(link.to), link.cost, *g);
        boost::add_edge(static_cast<Vertex>(link.to), static_cast<Vertex>(link.from), link.cost, *g);
    }
    return g;
}

struct DirectSearch {
    std::vector<float> distances;
    std::vector<float> costs;
    std::vector<Vertex> predecessors;
    std::vector<boost::default_color_type> colors;
    std::vector<Vertex> path;

    // The path's length in vertices, 0 when the goal was not reached.
    size_t Run(const Graph& g, Vertex start, Vertex goal)
    {
        const size_t n = boost::num_vertices(g);
        distances.resize(n);
        costs.resize(n);
        predecessors.resize(n);
        colors.resize(n);
        const auto index = boost::get(boost::vertex_index, g);
        try {
            boost::astar_search(g, start, Zero(), StopAtGoal(goal),
                                boost::make_iterator_property_map(predecessors.begin(), index),
                                boost::make_iterator_property_map(costs.begin(), index),
                                boost::make_iterator_property_map(distances.begin(), index),
                                boost::get(boost::edge_weight, g), index,
                                boost::make_iterator_property_map(colors.begin(), index), std::less<float>(),
                                std::plus<float>(), FLT_MAX, 0.0f);
        } catch (const Found&) {
            path.clear();
            for (Vertex v = goal; v != start; v = predecessors[v])
                path.push_back(v);
            path.push_back(start);
            return path.size();
        }
        return 0;
    }
};

// ---- Benchmarks -----------------------------------------------------------------------

void FinderFindPath(benchmark::State& state)
{
    const Grid& grid = TheGrid();
    EngineCore::AStarPathFinder finder;
    finder.ApplyGraph(grid.graph);
    auto result = std::make_shared<EngineCore::PathFinderResult>();
    for (auto _ : state) {
        if (!finder.FindPath(grid.Start(), grid.Goal(), result))
            state.SkipWithError("no path");
        benchmark::DoNotOptimize(result->GetPathNodes().data());
    }
    state.counters["path"] = static_cast<double>(result->GetPathNodes().size());
}
BENCHMARK(FinderFindPath)->Unit(benchmark::kMillisecond);

void DirectAstarSearch(benchmark::State& state)
{
    const Grid& grid = TheGrid();
    std::unique_ptr<Graph> g = BuildDirect(grid);
    DirectSearch search;
    size_t length = 0;
    for (auto _ : state) {
        length = search.Run(*g, 0, static_cast<Vertex>(kSide * kSide - 1));
        if (length == 0)
            state.SkipWithError("no path");
        benchmark::DoNotOptimize(search.path.data());
    }
    state.counters["path"] = static_cast<double>(length);
}
BENCHMARK(DirectAstarSearch)->Unit(benchmark::kMillisecond);

void ManagerTask(benchmark::State& state)
{
    const Grid& grid = TheGrid();
    EngineCore::PathFindManager manager;
    auto result = std::make_shared<EngineCore::PathFinderResult>();
    for (auto _ : state) {
        auto task = std::make_shared<EngineCore::PathFindManagerTask>();
        task->SetPathGraph(grid.graph);
        task->SetPathFinderData(grid.Start(), grid.Goal(), result);
        manager.AddTask(task);
        manager.Update();
        if (result->IsEmpty())
            state.SkipWithError("no path");
    }
    state.counters["path"] = static_cast<double>(result->GetPathNodes().size());
}
BENCHMARK(ManagerTask)->Unit(benchmark::kMillisecond);

void DirectBuildAndAstarSearch(benchmark::State& state)
{
    const Grid& grid = TheGrid();
    DirectSearch search;
    size_t length = 0;
    for (auto _ : state) {
        std::unique_ptr<Graph> g = BuildDirect(grid);
        length = search.Run(*g, 0, static_cast<Vertex>(kSide * kSide - 1));
        if (length == 0)
            state.SkipWithError("no path");
    }
    state.counters["path"] = static_cast<double>(length);
}
BENCHMARK(DirectBuildAndAstarSearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
