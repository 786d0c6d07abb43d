#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/PathFinding/PathEdge.h"
#include "engine/PathFinding/PathEdgeCostDefault.h"
#include "engine/PathFinding/PathFindManager.h"
#include "engine/PathFinding/PathFindManagerTask.h"
#include "engine/PathFinding/PathFinderResult.h"
#include "engine/PathFinding/PathFindingSystem.h"
#include "engine/PathFinding/PathGraph.h"
#include "engine/PathFinding/PathNode.h"

using namespace EngineCore;

namespace {

// A chain 0 - 1 - ... - (count-1) with the given cost on every link.
struct Chain {
    std::shared_ptr<PathGraph> graph = std::make_shared<PathGraph>();
    std::vector<std::shared_ptr<PathNode>> nodes;

    explicit Chain(int count, float cost = 1.0f)
    {
        for (int i = 0; i < count; ++i) {
            nodes.push_back(std::make_shared<PathNode>());
            graph->AddNode(nodes.back());
            if (i > 0) {
                auto edge = std::make_shared<PathEdge>();
                edge->Create(nodes[i - 1], nodes[i], std::make_shared<PathEdgeCostDefault>(cost), PathEdge::TwoWay);
                graph->AddEdge(edge);
            }
        }
    }
};

// A manager timed by a clock the test moves: each task's callback advances it.
class PathFindManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        manager.SetClock([this] { return now; });
    }

    struct Report {
        int label;
        bool found;
        size_t length;
    };

    // A search from the chain's first node to `goal`; its callback records a report and
    // moves the clock on by `seconds`.
    std::shared_ptr<PathFindManagerTask> Task(int label, int goal = 2, float seconds = 0.0f)
    {
        auto task = std::make_shared<PathFindManagerTask>();
        task->SetPathGraph(chain.graph);
        task->SetPathFinderData(chain.nodes[0], chain.nodes[goal], std::make_shared<PathFinderResult>());
        task->SetCallback([this, label, seconds](bool found, const std::shared_ptr<PathFinderResult>& result) {
            reports.push_back({label, found, result ? result->GetPathNodes().size() : 0});
            now += seconds;
        });
        return task;
    }

    std::vector<int> Labels() const
    {
        std::vector<int> labels;
        for (const Report& r : reports)
            labels.push_back(r.label);
        return labels;
    }

    Chain chain{4};
    PathFindManager manager;
    float now = 100.0f;
    std::vector<Report> reports;
};

}  // namespace

TEST_F(PathFindManagerTest, TasksRunInAscendingIdOrderAndLeaveTheQueue)
{
    EXPECT_EQ(1, manager.GetNumTask());
    manager.Update();  // nothing queued
    EXPECT_TRUE(reports.empty());

    std::vector<int> ids;
    for (int label = 0; label < 3; ++label)
        ids.push_back(manager.AddTask(Task(label, label + 1)));
    EXPECT_EQ(std::vector<int>({0, 1, 2}), ids);
    // Freeing the first slot puts the next task there, ahead of the others.
    EXPECT_TRUE(manager.RemoveTask(0));
    EXPECT_EQ(0, manager.AddTask(Task(9, 3)));

    manager.Update();
    EXPECT_EQ(std::vector<int>({9, 1, 2}), Labels());
    const size_t lengths[] = {4, 3, 4};
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_TRUE(reports[i].found);
        EXPECT_EQ(lengths[i], reports[i].length);
    }
    for (int id : ids)
        EXPECT_FALSE(manager.IsExist(id)) << id;
    std::shared_ptr<PathFindManagerTask> task;
    EXPECT_FALSE(manager.GetTask(1, task));
    // Slots stay; ids are reused.
    EXPECT_EQ(4, manager.GetNumTask());
    EXPECT_EQ(0, manager.AddTask(Task(5)));
    EXPECT_FALSE(manager.RemoveTask(3)) << "a slot never used";
    EXPECT_FALSE(manager.RemoveTask(-1));
    EXPECT_FALSE(manager.RemoveTask(64));
}

TEST_F(PathFindManagerTest, TheBudgetBoundsHowManyTasksOneUpdateRuns)
{
    struct Case {
        float maxUpdateTime;
        float secondsPerTask;
        size_t runFirst;  // tasks run by the first Update of five queued
    };
    const Case cases[] = {
        {0.0f, 25.0f, 3},    // 0 means 60 s: 60 - 3 x 25 < 0 after the third
        {-5.0f, 25.0f, 3},   // so does a negative maximum
        {0.001f, 25.0f, 1},  // a tiny budget still runs the first task
        {100.0f, 25.0f, 4},  // exactly spent after the fourth
        {0.0f, 0.0f, 5},     // quick tasks all run
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.maxUpdateTime) + " s, " + std::to_string(c.secondsPerTask) + " s each");
        PathFindManager local;
        local.SetClock([this] { return now; });
        local.SetMaxUpdateTime(c.maxUpdateTime);
        EXPECT_EQ(c.maxUpdateTime, local.GetMaxUpdateTime());
        reports.clear();
        for (int label = 0; label < 5; ++label)
            local.AddTask(Task(label, 1, c.secondsPerTask));
        local.Update();
        EXPECT_EQ(c.runFirst, reports.size());
        // The rest wait, in order, for the next calls.
        while (reports.size() < 5) {
            const size_t before = reports.size();
            local.Update();
            ASSERT_GT(reports.size(), before);
        }
        EXPECT_EQ(std::vector<int>({0, 1, 2, 3, 4}), Labels());
    }
}

TEST_F(PathFindManagerTest, ATaskAddedWhileUpdatingWaitsForTheNextUpdate)
{
    auto first = Task(1);
    const auto record = first->GetCallback();
    auto later = Task(2);
    first->SetCallback([&](bool found, const std::shared_ptr<PathFinderResult>& result) {
        record(found, result);
        manager.AddTask(later);
    });
    manager.AddTask(first);
    manager.Update();
    EXPECT_EQ(std::vector<int>({1}), Labels());
    manager.Update();
    EXPECT_EQ(std::vector<int>({1, 2}), Labels());
    manager.Update();
    EXPECT_EQ(2u, reports.size());
}

// A callback may take its own task off the queue and put another in the freed slot: that
// one is new, waits for the next Update, and is not removed in place of the first.
TEST_F(PathFindManagerTest, ACallbackThatRefillsItsOwnSlotKeepsTheNewTaskQueued)
{
    auto first = Task(1);
    const auto record = first->GetCallback();
    auto replacement = Task(2);
    int firstId = -1;
    int replacementId = -1;
    first->SetCallback([&](bool found, const std::shared_ptr<PathFinderResult>& result) {
        record(found, result);
        manager.RemoveTask(firstId);
        replacementId = manager.AddTask(replacement);
    });
    firstId = manager.AddTask(first);
    manager.Update();
    EXPECT_EQ(firstId, replacementId);
    std::shared_ptr<PathFindManagerTask> queued;
    ASSERT_TRUE(manager.GetTask(replacementId, queued));
    EXPECT_EQ(replacement, queued);
    manager.Update();
    EXPECT_EQ(std::vector<int>({1, 2}), Labels());
    EXPECT_FALSE(manager.IsExist(replacementId));
}

TEST_F(PathFindManagerTest, TasksThatCannotSearchReportFalseAndLeave)
{
    using TaskPtr = std::shared_ptr<PathFindManagerTask>;
    struct Case {
        const char* name;
        std::function<TaskPtr(const TaskPtr&)> spoil;
    };
    const Case cases[] = {
        {"no path data",
         [](const TaskPtr& made) {
             auto bare = std::make_shared<PathFindManagerTask>();
             bare->SetPathGraph(made->GetPathGraph());
             bare->SetCallback(made->GetCallback());
             return bare;
         }},
        {"unknown algorithm",
         [](const TaskPtr& made) {
             made->SetAlgorithmType(7);
             return made;
         }},
        {"no graph",
         [](const TaskPtr& made) {
             made->SetPathGraph(nullptr);
             return made;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reports.clear();
        const TaskPtr task = c.spoil(Task(1));
        const int id = manager.AddTask(task);
        manager.Update();
        ASSERT_EQ(1u, reports.size());
        EXPECT_FALSE(reports[0].found);
        EXPECT_FALSE(manager.IsExist(id));
    }
}

TEST_F(PathFindManagerTest, DijkstraTasksAndTasksAddedTwiceRunLikeAnyOther)
{
    auto task = Task(1, 3);
    task->SetAlgorithmType(PathFindManagerTask::Dijkstra);
    EXPECT_EQ(0, manager.AddTask(task));
    EXPECT_EQ(1, manager.AddTask(task));
    manager.Update();
    ASSERT_EQ(2u, reports.size());
    EXPECT_TRUE(reports[0].found);
    EXPECT_EQ(4u, reports[1].length);
    EXPECT_FALSE(manager.IsExist(0));
    EXPECT_FALSE(manager.IsExist(1));
}

// A failing search passes its error on but leaves the queue; it must not fail again in
// every later Update, and the queue keeps working.
TEST_F(PathFindManagerTest, AFailingTaskLeavesTheQueueBeforeItsErrorPassesOn)
{
    Chain negative(3, -1.0f);
    auto failing = std::make_shared<PathFindManagerTask>();
    failing->SetPathGraph(negative.graph);
    failing->SetPathFinderData(negative.nodes[0], negative.nodes[2], std::make_shared<PathFinderResult>());
    const int failingId = manager.AddTask(failing);
    manager.AddTask(Task(2));

    EXPECT_THROW(manager.Update(), std::runtime_error);
    EXPECT_FALSE(manager.IsExist(failingId));
    EXPECT_TRUE(reports.empty());
    EXPECT_NO_THROW(manager.Update());
    EXPECT_EQ(std::vector<int>({2}), Labels());

    // A callback that throws is no different.
    auto throwing = Task(3);
    throwing->SetCallback([](bool, const std::shared_ptr<PathFinderResult>&) { throw std::runtime_error("x"); });
    const int throwingId = manager.AddTask(throwing);
    EXPECT_THROW(manager.Update(), std::runtime_error);
    EXPECT_FALSE(manager.IsExist(throwingId));
    manager.AddTask(Task(4));
    manager.Update();
    EXPECT_EQ(std::vector<int>({2, 4}), Labels());
}

// The script class queues from whichever thread runs it: a task queued on one thread is
// the same task seen from another.
TEST(PathFindingSystem, HoldsOneManagerForEveryThread)
{
    PathFindManager& manager = PathFindingSystem::Instance().GetPathFindManager();
    auto task = std::make_shared<PathFindManagerTask>();
    int id = -1;
    std::thread([&] { id = PathFindingSystem::Instance().GetPathFindManager().AddTask(task); }).join();
    ASSERT_GE(id, 0);
    std::shared_ptr<PathFindManagerTask> found;
    EXPECT_TRUE(manager.GetTask(id, found));
    EXPECT_EQ(task, found);
    EXPECT_TRUE(manager.RemoveTask(id));
    EXPECT_FALSE(PathFindingSystem::Instance().GetPathFindManager().IsExist(id));
}

// Two threads queue and run searches on one manager at once, each until its own task
// has run, as the script class does; every search gets its own answer.
TEST(PathFindManagerThreads, SearchesFromTwoThreadsEachGetTheirOwnPath)
{
    PathFindManager manager;
    auto search = [&manager](int length, int rounds, int& wrong) {
        Chain chain(length);
        for (int i = 0; i < rounds; ++i) {
            auto result = std::make_shared<PathFinderResult>();
            auto task = std::make_shared<PathFindManagerTask>();
            task->SetPathGraph(chain.graph);
            task->SetPathFinderData(chain.nodes[0], chain.nodes[length - 1], result);
            const int id = manager.AddTask(task);
            std::shared_ptr<PathFindManagerTask> queued;
            do {
                manager.Update();
            } while (manager.GetTask(id, queued) && queued == task);
            if (result->GetPathNodes().size() != static_cast<size_t>(length))
                ++wrong;
        }
    };
    int wrongA = 0;
    int wrongB = 0;
    std::thread a(search, 5, 300, std::ref(wrongA));
    std::thread b(search, 9, 300, std::ref(wrongB));
    a.join();
    b.join();
    EXPECT_EQ(0, wrongA);
    EXPECT_EQ(0, wrongB);
}
