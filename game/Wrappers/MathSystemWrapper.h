#pragma once
// Script class "MathSystem": the arithmetic scripts lack (they get no standard library):
// sine and cosine of degrees, integer remainder and quotient, minimum, maximum, square
// root, random integers, a Catmull-Rom point, and one process-wide list of (id, key)
// nodes that can be sorted by key. Objects hold nothing.

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

class MathSystemWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<MathSystemWrapper>::RegType methods[];

    explicit MathSystemWrapper(lua_State* L);
    ~MathSystemWrapper();

    int Sin(lua_State* L);
    int Cos(lua_State* L);
    int Mod(lua_State* L);
    int Div(lua_State* L);
    int Min(lua_State* L);
    int Max(lua_State* L);
    int Sqrt(lua_State* L);
    int Random(lua_State* L);
    int InterpolateCatmullRom(lua_State* L);
    int SortNodes(lua_State* L);
    int GetSortedId(lua_State* L);
    int AddSortNode(lua_State* L);
    int ClearSortNodes(lua_State* L);

private:
    // Shared by every object of every game state until ClearSortNodes; first = id,
    // second = key. Guarded because two game states' scripts may run at once.
    static std::vector<std::shared_ptr<std::pair<int, float>>> _nodeList;
    static std::mutex _nodeListLock;
};

}  // namespace GameCore
