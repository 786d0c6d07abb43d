#pragma once
// Script class "PathFinder": a weighted graph of numbered nodes that a script builds node
// by node and edge by edge, searched for the cheapest path between two nodes. Each object
// owns its graph and the path of its last search; a search runs to its end inside the
// FindPath call.

#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class PathFinderResult;
class PathGraph;
class PathNode;
}  // namespace EngineCore

namespace GameCore {

class PathFinderWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<PathFinderWrapper>::RegType methods[];

    explicit PathFinderWrapper(lua_State* L);
    ~PathFinderWrapper();

    int AddNode(lua_State* L);
    int AddEdge(lua_State* L);
    int FindPath(lua_State* L);
    int ClearGraph(lua_State* L);
    int GetResultNodeId(lua_State* L);

private:
    // The node of a script id; throws "Internal error." when the graph holds none.
    std::shared_ptr<EngineCore::PathNode> NodeOf(int id, int line) const;

    std::shared_ptr<EngineCore::PathGraph> _graph;
    std::shared_ptr<EngineCore::PathFinderResult> _result;
};

}  // namespace GameCore
