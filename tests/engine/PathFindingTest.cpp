#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/PathFinding/AStarPathFinder.h"
#include "engine/PathFinding/DijkstraPathFinder.h"
#include "engine/PathFinding/PathEdge.h"
#include "engine/PathFinding/PathEdgeCostDefault.h"
#include "engine/PathFinding/PathFinderResult.h"
#include "engine/PathFinding/PathGraph.h"
#include "engine/PathFinding/PathNode.h"
#include "engine/System/SlotArray.h"
#include "tests/support/FailureText.h"

using namespace EngineCore;
using TestSupport::ErrorOf;

namespace {

const int OneWay = PathEdge::OneWay;
const int TwoWay = PathEdge::TwoWay;

struct EdgeSpec {
    int first;
    int second;
    float cost;
    int type;
};

// A graph of `count` nodes (ids 0..count-1) with the given edges.
struct TestGraph {
    std::shared_ptr<PathGraph> graph = std::make_shared<PathGraph>();
    std::vector<std::shared_ptr<PathNode>> nodes;
    std::vector<std::shared_ptr<PathEdge>> edges;

    TestGraph(int count, const std::vector<EdgeSpec>& specs)
    {
        for (int i = 0; i < count; ++i) {
            nodes.push_back(std::make_shared<PathNode>());
            graph->AddNode(nodes.back());
        }
        for (const EdgeSpec& e : specs) {
            edges.push_back(std::make_shared<PathEdge>());
            edges.back()->Create(nodes[e.first], nodes[e.second], std::make_shared<PathEdgeCostDefault>(e.cost),
                                 e.type);
            graph->AddEdge(edges.back());
        }
    }
};

using FinderMaker = std::function<std::unique_ptr<PathFinder>()>;

struct Algorithm {
    const char* name;
    FinderMaker make;
};

const Algorithm kAlgorithms[] = {
    {"A*", [] { return std::unique_ptr<PathFinder>(new AStarPathFinder); }},
    {"Dijkstra", [] { return std::unique_ptr<PathFinder>(new DijkstraPathFinder); }},
};

std::vector<int> Ids(const PathFinderResult& result)
{
    std::vector<int> ids;
    for (const auto& node : result.GetPathNodes())
        ids.push_back(node->GetId());
    return ids;
}

}  // namespace

TEST(SlotArray, SlotCountsGrowByPowersOfTwoAndFreedSlotsAreReusedLowestFirst)
{
    SlotArray<int> slots;
    EXPECT_EQ(1, slots.GetCount());
    EXPECT_FALSE(slots.IsValid(0));

    const int expectedCounts[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(i, slots.Add(100 + i));
        EXPECT_EQ(expectedCounts[i], slots.GetCount()) << "after add " << i;
    }
    EXPECT_TRUE(slots.Remove(5));
    EXPECT_TRUE(slots.Remove(2));
    EXPECT_FALSE(slots.Remove(2));
    EXPECT_EQ(16, slots.GetCount());
    EXPECT_EQ(2, slots.Add(7));
    EXPECT_EQ(5, slots.Add(7));
    EXPECT_EQ(9, slots.Add(7));

    int value = 0;
    EXPECT_TRUE(slots.Get(8, value));
    EXPECT_EQ(108, value);
    for (int bad : {-1, 10, 16, 1 << 30}) {
        EXPECT_FALSE(slots.Get(bad, value)) << bad;
        EXPECT_FALSE(slots.Remove(bad)) << bad;
    }

    // Cleared: no slot at all; the first store grows to two.
    slots.Clear();
    EXPECT_EQ(0, slots.GetCount());
    EXPECT_EQ(0, slots.Add(1));
    EXPECT_EQ(2, slots.GetCount());

    // Storing far past the end grows to the power of two above the index.
    SlotArray<int> far;
    EXPECT_TRUE(far.Set(9, 1));
    EXPECT_EQ(16, far.GetCount());
    EXPECT_FALSE(far.IsValid(8));
    EXPECT_FALSE(far.Set(-1, 1));
}

TEST(PathGraph, IdsAreSlotsRemovedElementsKeepTheirIdAndOnlyThemselvesAreRemoved)
{
    PathGraph graph;
    EXPECT_EQ(1, graph.GetNumNodes());
    EXPECT_EQ(1, graph.GetNumEdges());

    auto a = std::make_shared<PathNode>();
    auto b = std::make_shared<PathNode>();
    auto c = std::make_shared<PathNode>();
    EXPECT_EQ(-1, a->GetId());
    graph.AddNode(a);
    graph.AddNode(b);
    EXPECT_EQ(2, graph.GetNumNodes());
    graph.AddNode(c);
    EXPECT_EQ(4, graph.GetNumNodes());
    EXPECT_EQ(0, a->GetId());
    EXPECT_EQ(2, c->GetId());

    EXPECT_TRUE(graph.RemoveNode(a));
    EXPECT_EQ(0, a->GetId());
    std::shared_ptr<PathNode> found;
    EXPECT_FALSE(graph.GetNode(0, found));

    // The freed slot goes to the next node; the removed one can no longer take it out.
    auto d = std::make_shared<PathNode>();
    graph.AddNode(d);
    EXPECT_EQ(0, d->GetId());
    EXPECT_FALSE(graph.RemoveNode(a));
    ASSERT_TRUE(graph.GetNode(0, found));
    EXPECT_EQ(d, found);

    EXPECT_FALSE(graph.RemoveNode(std::make_shared<PathNode>()));
    EXPECT_FALSE(graph.RemoveNode(nullptr));

    auto edge = std::make_shared<PathEdge>();
    EXPECT_EQ(TwoWay, edge->GetType());
    EXPECT_TRUE(edge->Create(b, c, std::make_shared<PathEdgeCostDefault>(), OneWay));
    graph.AddEdge(edge);
    EXPECT_EQ(0, edge->GetId());
    EXPECT_FLOAT_EQ(1.0f, edge->GetEdgeCost()->GetCost());
    EXPECT_TRUE(graph.RemoveEdge(edge));
    EXPECT_FALSE(graph.RemoveEdge(edge));

    graph.Clear();
    EXPECT_EQ(0, graph.GetNumNodes());
    EXPECT_EQ(0, graph.GetNumEdges());
    EXPECT_FALSE(graph.GetNode(0, found));
}

TEST(PathFinder, SmallGraphsGiveTheCheapestPathStartFirst)
{
    struct Case {
        const char* name;
        int nodes;
        std::vector<EdgeSpec> edges;
        std::vector<int> removed;
        int start;
        int goal;
        std::vector<int> path;  // empty: no path
    };
    const Case cases[] = {
        {"two-way, forward", 2, {{0, 1, 2, TwoWay}}, {}, 0, 1, {0, 1}},
        {"two-way, backward", 2, {{0, 1, 2, TwoWay}}, {}, 1, 0, {1, 0}},
        {"one-way, along", 2, {{0, 1, 2, OneWay}}, {}, 0, 1, {0, 1}},
        {"one-way, against", 2, {{0, 1, 2, OneWay}}, {}, 1, 0, {}},
        {"any other type is one-way", 2, {{0, 1, 2, 7}}, {}, 1, 0, {}},
        {"start is goal", 3, {{0, 1, 1, TwoWay}}, {}, 2, 2, {2}},
        {"no edges", 3, {}, {}, 0, 2, {}},
        {"cheaper long way round", 4, {{0, 3, 10, TwoWay}, {0, 1, 1, TwoWay}, {1, 2, 1, TwoWay}, {2, 3, 1, TwoWay}},
         {}, 0, 3, {0, 1, 2, 3}},
        {"cheaper direct", 4, {{0, 3, 2, TwoWay}, {0, 1, 1, TwoWay}, {1, 2, 1, TwoWay}, {2, 3, 1, TwoWay}}, {}, 0,
         3, {0, 3}},
        {"zero costs", 3, {{0, 1, 0, TwoWay}, {1, 2, 0, TwoWay}, {0, 2, 1, TwoWay}}, {}, 0, 2, {0, 1, 2}},
        {"goes round a removed node", 4,
         {{0, 1, 1, TwoWay}, {1, 2, 1, TwoWay}, {0, 3, 5, TwoWay}, {3, 2, 5, TwoWay}}, {1}, 0, 2, {0, 3, 2}},
        {"a removed node was the only way", 3, {{0, 1, 1, TwoWay}, {1, 2, 1, TwoWay}}, {1}, 0, 2, {}},
        {"removed goal", 3, {{0, 1, 1, TwoWay}, {1, 2, 1, TwoWay}}, {2}, 0, 2, {}},
        {"removed start", 3, {{0, 1, 1, TwoWay}}, {0}, 0, 0, {}},
    };
    for (const Algorithm& algorithm : kAlgorithms) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(algorithm.name) + ": " + c.name);
            TestGraph g(c.nodes, c.edges);
            for (int id : c.removed)
                ASSERT_TRUE(g.graph->RemoveNode(g.nodes[id]));
            auto finder = algorithm.make();
            finder->ApplyGraph(g.graph);

            // A failed search leaves the previous result as it was.
            TestGraph other(1, {});
            auto result = std::make_shared<PathFinderResult>();
            {
                auto seed = algorithm.make();
                seed->ApplyGraph(other.graph);
                ASSERT_TRUE(seed->FindPath(other.nodes[0], other.nodes[0], result));
            }
            const bool found = finder->FindPath(g.nodes[c.start], g.nodes[c.goal], result);
            EXPECT_EQ(!c.path.empty(), found);
            if (found) {
                EXPECT_EQ(c.path, Ids(*result));
                EXPECT_EQ(g.nodes[c.start], result->GetPathNodes().front());
            } else {
                ASSERT_EQ(1u, result->GetPathNodes().size());
                EXPECT_EQ(other.nodes[0], result->GetPathNodes()[0]);
            }
        }
    }
}

TEST(PathFinder, RefusesWhatIsNotAPathOfItsGraph)
{
    for (const Algorithm& algorithm : kAlgorithms) {
        SCOPED_TRACE(algorithm.name);
        TestGraph g(2, {{0, 1, 1, TwoWay}});
        TestGraph stranger(3, {});
        auto result = std::make_shared<PathFinderResult>();
        auto finder = algorithm.make();
        EXPECT_FALSE(finder->FindPath(g.nodes[0], g.nodes[1], result)) << "no graph applied";

        finder->ApplyGraph(g.graph);
        EXPECT_FALSE(finder->FindPath(nullptr, g.nodes[1], result));
        EXPECT_FALSE(finder->FindPath(g.nodes[0], nullptr, result));
        EXPECT_FALSE(finder->FindPath(g.nodes[0], std::make_shared<PathNode>(), result)) << "id -1";
        EXPECT_FALSE(finder->FindPath(g.nodes[0], stranger.nodes[2], result)) << "id past the vertices";
        EXPECT_FALSE(finder->FindPath(stranger.nodes[0], g.nodes[1], result)) << "another graph's node";
        EXPECT_FALSE(finder->FindPath(g.nodes[0], g.nodes[1], nullptr));
        EXPECT_TRUE(result->IsEmpty());

        // The graph is read when applied: a node added later is unknown until re-applied.
        auto late = std::make_shared<PathNode>();
        g.graph->AddNode(late);
        auto edge = std::make_shared<PathEdge>();
        edge->Create(g.nodes[1], late, std::make_shared<PathEdgeCostDefault>(), TwoWay);
        g.graph->AddEdge(edge);
        EXPECT_FALSE(finder->FindPath(g.nodes[0], late, result));
        finder->ApplyGraph(g.graph);
        EXPECT_TRUE(finder->FindPath(g.nodes[0], late, result));
        EXPECT_EQ(3u, result->GetPathNodes().size());

        finder->ApplyGraph(nullptr);
        EXPECT_FALSE(finder->FindPath(g.nodes[0], g.nodes[1], result));
    }
}

TEST(PathFinder, EdgesThatCannotBeWalkedAreLeftOut)
{
    for (const Algorithm& algorithm : kAlgorithms) {
        SCOPED_TRACE(algorithm.name);
        TestGraph g(3, {{0, 2, 9, TwoWay}});
        auto stray = std::make_shared<PathNode>();  // never added: id -1
        const std::shared_ptr<PathNode> ends[][2] = {
            {g.nodes[0], g.nodes[1]},  // no cost
            {g.nodes[0], stray},       // a node outside the graph
            {nullptr, g.nodes[1]},     // no node
        };
        const bool withCost[] = {false, true, true};
        for (int i = 0; i < 3; ++i) {
            auto edge = std::make_shared<PathEdge>();
            edge->Create(ends[i][0], ends[i][1],
                         withCost[i] ? std::make_shared<PathEdgeCostDefault>(1.0f) : nullptr, TwoWay);
            g.graph->AddEdge(edge);
        }
        auto finder = algorithm.make();
        finder->ApplyGraph(g.graph);
        auto result = std::make_shared<PathFinderResult>();
        EXPECT_FALSE(finder->FindPath(g.nodes[0], g.nodes[1], result));
        EXPECT_TRUE(finder->FindPath(g.nodes[2], g.nodes[0], result));
    }
}

TEST(PathFinder, ANegativeCostMetOnTheWayIsTheGraphLibrarysErrorInTheEngineText)
{
    const char* sources[] = {"File: \"PathFinding\\AStarPathFinder.cpp\"\nLine: ",
                             "File: \"PathFinding\\DijkstraPathFinder.cpp\"\nLine: "};
    for (int i = 0; i < 2; ++i) {
        const Algorithm& algorithm = kAlgorithms[i];
        SCOPED_TRACE(algorithm.name);
        // Nodes 3 and 4 hold the negative edge, apart from 0-1-2.
        TestGraph g(5, {{0, 1, 1, TwoWay}, {1, 2, -1, TwoWay}, {3, 4, -2, OneWay}});
        auto finder = algorithm.make();
        finder->ApplyGraph(g.graph);
        auto result = std::make_shared<PathFinderResult>();

        const std::string error = ErrorOf([&] { finder->FindPath(g.nodes[0], g.nodes[2], result); });
        EXPECT_EQ(0u, error.find(sources[i])) << error;
        const std::string message = "\n\nError: The graph may not contain an edge with negative weight.";
        EXPECT_TRUE(error.size() > message.size() &&
                    error.compare(error.size() - message.size(), message.size(), message) == 0)
            << error;
        EXPECT_TRUE(result->IsEmpty());

        // Checked when met: a search that never reaches the edge succeeds.
        TestGraph apart(5, {{0, 1, 1, TwoWay}, {3, 4, -2, OneWay}});
        finder->ApplyGraph(apart.graph);
        EXPECT_TRUE(finder->FindPath(apart.nodes[0], apart.nodes[1], result));
        EXPECT_EQ(std::vector<int>({0, 1}), Ids(*result));
    }
}

// Random graphs against the shortest distances of Floyd-Warshall: every path found is a
// walk along the graph's edges, exactly as cheap as the cheapest, and none is missed.
TEST(PathFinder, AgreesWithBruteForceOnRandomGraphs)
{
    std::mt19937 random(20261210);
    const double kInfinity = std::numeric_limits<double>::infinity();
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + static_cast<int>(random() % 12);
        std::vector<EdgeSpec> specs;
        const int edgeCount = static_cast<int>(random() % (2 * count + 1));
        for (int e = 0; e < edgeCount; ++e) {
            specs.push_back({static_cast<int>(random() % count), static_cast<int>(random() % count),
                             static_cast<float>(random() % 10), random() % 3 == 0 ? OneWay : TwoWay});
        }
        TestGraph g(count, specs);
        std::vector<bool> present(count, true);
        for (int i = 0; i < count; ++i) {
            if (count > 2 && random() % 6 == 0) {
                g.graph->RemoveNode(g.nodes[i]);
                present[i] = false;
            }
        }

        // Cheapest single step u -> v, then all pairs.
        std::vector<std::vector<double>> step(count, std::vector<double>(count, kInfinity));
        for (const EdgeSpec& e : specs) {
            if (!present[e.first] || !present[e.second])
                continue;
            step[e.first][e.second] = std::min<double>(step[e.first][e.second], e.cost);
            if (e.type == TwoWay)
                step[e.second][e.first] = std::min<double>(step[e.second][e.first], e.cost);
        }
        std::vector<std::vector<double>> distance = step;
        for (int i = 0; i < count; ++i)
            distance[i][i] = 0;
        for (int k = 0; k < count; ++k)
            for (int i = 0; i < count; ++i)
                for (int j = 0; j < count; ++j)
                    distance[i][j] = std::min(distance[i][j], distance[i][k] + distance[k][j]);

        for (const Algorithm& algorithm : kAlgorithms) {
            auto finder = algorithm.make();
            finder->ApplyGraph(g.graph);
            for (int s = 0; s < count; ++s) {
                for (int t = 0; t < count; ++t) {
                    SCOPED_TRACE(std::string(algorithm.name) + " round " + std::to_string(round) + " " +
                                 std::to_string(s) + "->" + std::to_string(t));
                    auto result = std::make_shared<PathFinderResult>();
                    const bool found = finder->FindPath(g.nodes[s], g.nodes[t], result);
                    const bool reachable = present[s] && present[t] && distance[s][t] < kInfinity;
                    ASSERT_EQ(reachable, found);
                    if (!found)
                        continue;
                    const std::vector<int> path = Ids(*result);
                    ASSERT_EQ(s, path.front());
                    ASSERT_EQ(t, path.back());
                    double cost = 0;
                    for (size_t i = 1; i < path.size(); ++i) {
                        ASSERT_LT(step[path[i - 1]][path[i]], kInfinity) << "no edge " << path[i - 1] << "->"
                                                                         << path[i];
                        cost += step[path[i - 1]][path[i]];
                    }
                    ASSERT_EQ(distance[s][t], cost);
                }
            }
        }
    }
}
