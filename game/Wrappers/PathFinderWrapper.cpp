#include "game/Wrappers/PathFinderWrapper.h"

#include <lua.hpp>

#include "engine/PathFinding/PathEdge.h"
#include "engine/PathFinding/PathEdgeCostDefault.h"
#include "engine/PathFinding/PathFindManager.h"
#include "engine/PathFinding/PathFindManagerTask.h"
#include "engine/PathFinding/PathFinderResult.h"
#include "engine/PathFinding/PathFindingSystem.h"
#include "engine/PathFinding/PathGraph.h"
#include "engine/PathFinding/PathNode.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\PathFinderWrapper.cpp";

}  // namespace

const char PathFinderWrapper::className[] = "PathFinder";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<PathFinderWrapper>::RegType PathFinderWrapper::methods[] = {
    {"AddNode", &PathFinderWrapper::AddNode},
    {"AddEdge", &PathFinderWrapper::AddEdge},
    {"FindPath", &PathFinderWrapper::FindPath},
    {"ClearGraph", &PathFinderWrapper::ClearGraph},
    {"GetResultNodeId", &PathFinderWrapper::GetResultNodeId},
    {nullptr, nullptr},
};

PathFinderWrapper::PathFinderWrapper(lua_State*)
    : _graph(std::make_shared<EngineCore::PathGraph>()), _result(std::make_shared<EngineCore::PathFinderResult>())
{
}

PathFinderWrapper::~PathFinderWrapper() = default;

std::shared_ptr<EngineCore::PathNode> PathFinderWrapper::NodeOf(int id, int line) const
{
    std::shared_ptr<EngineCore::PathNode> node;
    if (!_graph->GetNode(id, node))
        EngineCore::ThrowEngineError(kSource, line, "Internal error.");
    return node;
}

int PathFinderWrapper::AddNode(lua_State* L)
{
    auto node = std::make_shared<EngineCore::PathNode>();
    _graph->AddNode(node);
    lua_pushnumber(L, static_cast<lua_Number>(node->GetId()));
    return 1;
}

int PathFinderWrapper::AddEdge(lua_State* L)
{
    const int32_t firstId = CheckInt32(L, 1);
    const int32_t secondId = CheckInt32(L, 2);
    const float cost = CheckFloat(L, 3);
    const std::shared_ptr<EngineCore::PathNode> first = NodeOf(firstId, 64);
    const std::shared_ptr<EngineCore::PathNode> second = NodeOf(secondId, 65);
    auto edge = std::make_shared<EngineCore::PathEdge>();
    if (!edge->Create(first, second, std::make_shared<EngineCore::PathEdgeCostDefault>(cost),
                      EngineCore::PathEdge::TwoWay))
        EngineCore::ThrowEngineError(kSource, 69, "Error creating edge.");
    _graph->AddEdge(edge);
    return 0;
}

int PathFinderWrapper::FindPath(lua_State* L)
{
    const int32_t startId = CheckInt32(L, 1);
    const int32_t goalId = CheckInt32(L, 2);
    _result->Clear();
    const std::shared_ptr<EngineCore::PathNode> start = NodeOf(startId, 79);
    const std::shared_ptr<EngineCore::PathNode> goal = NodeOf(goalId, 80);

    auto task = std::make_shared<EngineCore::PathFindManagerTask>();
    task->SetPathGraph(_graph);
    task->SetPathFinderData(start, goal, _result);

    // Scripts expect the path when FindPath returns. A small budget, or searches queued
    // by others ahead of this one, may leave it waiting after one Update; every Update
    // runs at least one task, so this ends.
    EngineCore::PathFindManager& manager = EngineCore::PathFindingSystem::Instance().GetPathFindManager();
    const int id = manager.AddTask(task);
    std::shared_ptr<EngineCore::PathFindManagerTask> queued;
    do {
        manager.Update();
    } while (manager.GetTask(id, queued) && queued == task);

    lua_pushnumber(L, static_cast<lua_Number>(_result->GetPathNodes().size()));
    return 1;
}

int PathFinderWrapper::ClearGraph(lua_State*)
{
    _graph->Clear();
    return 0;
}

int PathFinderWrapper::GetResultNodeId(lua_State* L)
{
    const int32_t index = CheckInt32(L, 1);
    const auto& nodes = _result->GetPathNodes();
    int id = -1;
    if (index >= 0 && static_cast<size_t>(index) < nodes.size())
        id = nodes[static_cast<size_t>(index)]->GetId();
    lua_pushnumber(L, static_cast<lua_Number>(id));
    return 1;
}

}  // namespace GameCore
