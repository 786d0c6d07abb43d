#include "game/Wrappers/MathSystemWrapper.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <lua.hpp>

#include "engine/Math/MathSystem.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\MathSystemWrapper.cpp";

// Largest key first. NaN keys go last, so the order stays a strict weak ordering that
// the sort can rely on whatever keys scripts pass.
bool KeyBefore(const std::shared_ptr<std::pair<int, float>>& a, const std::shared_ptr<std::pair<int, float>>& b)
{
    if (std::isnan(a->second))
        return false;
    if (std::isnan(b->second))
        return true;
    return a->second > b->second;
}

}  // namespace

const char MathSystemWrapper::className[] = "MathSystem";

std::vector<std::shared_ptr<std::pair<int, float>>> MathSystemWrapper::_nodeList;
std::mutex MathSystemWrapper::_nodeListLock;

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<MathSystemWrapper>::RegType MathSystemWrapper::methods[] = {
    {"Sin", &MathSystemWrapper::Sin},
    {"Cos", &MathSystemWrapper::Cos},
    {"Mod", &MathSystemWrapper::Mod},
    {"Div", &MathSystemWrapper::Div},
    {"Min", &MathSystemWrapper::Min},
    {"Max", &MathSystemWrapper::Max},
    {"Sqrt", &MathSystemWrapper::Sqrt},
    {"Random", &MathSystemWrapper::Random},
    {"InterpolateCatmullRom", &MathSystemWrapper::InterpolateCatmullRom},
    {"SortNodes", &MathSystemWrapper::SortNodes},
    {"GetSortedId", &MathSystemWrapper::GetSortedId},
    {"AddSortNode", &MathSystemWrapper::AddSortNode},
    {"ClearSortNodes", &MathSystemWrapper::ClearSortNodes},
    {nullptr, nullptr},
};

MathSystemWrapper::MathSystemWrapper(lua_State*) {}

MathSystemWrapper::~MathSystemWrapper() = default;

int MathSystemWrapper::Sin(lua_State* L)
{
    PushFloat(L, std::sin(DegreesToRadians(CheckFloat(L, 1))));
    return 1;
}

int MathSystemWrapper::Cos(lua_State* L)
{
    PushFloat(L, std::cos(DegreesToRadians(CheckFloat(L, 1))));
    return 1;
}

// Integer division traps on a zero divisor and on INT_MIN / -1, which would end the
// process; scripts get an error instead.
int MathSystemWrapper::Mod(lua_State* L)
{
    const int32_t a = CheckInt32(L, 1);
    const int32_t b = CheckInt32(L, 2);
    if (b == 0)
        EngineCore::ThrowEngineError(kSource, 80, "[MathSystemWrapper::Mod] Division by zero.");
    if (a == INT32_MIN && b == -1)
        EngineCore::ThrowEngineError(kSource, 82, "[MathSystemWrapper::Mod] Integer overflow.");
    lua_pushnumber(L, static_cast<lua_Number>(a % b));
    return 1;
}

int MathSystemWrapper::Div(lua_State* L)
{
    const int32_t a = CheckInt32(L, 1);
    const int32_t b = CheckInt32(L, 2);
    if (b == 0)
        EngineCore::ThrowEngineError(kSource, 92, "[MathSystemWrapper::Div] Division by zero.");
    if (a == INT32_MIN && b == -1)
        EngineCore::ThrowEngineError(kSource, 94, "[MathSystemWrapper::Div] Integer overflow.");
    lua_pushnumber(L, static_cast<lua_Number>(a / b));
    return 1;
}

int MathSystemWrapper::Min(lua_State* L)
{
    const float a = CheckFloat(L, 1);
    const float b = CheckFloat(L, 2);
    PushFloat(L, b <= a ? b : a);
    return 1;
}

int MathSystemWrapper::Max(lua_State* L)
{
    const float a = CheckFloat(L, 1);
    const float b = CheckFloat(L, 2);
    PushFloat(L, b >= a ? b : a);
    return 1;
}

int MathSystemWrapper::Sqrt(lua_State* L)
{
    PushFloat(L, EngineCore::MathSystem::Instance().Sqrt(CheckFloat(L, 1)));
    return 1;
}

// a + rand() % (b - a). The span is taken in 64 bits so that the widest ranges do not
// overflow; with b < a the remainder stays non-negative, which scripts may rely on.
int MathSystemWrapper::Random(lua_State* L)
{
    const int64_t a = CheckInt32(L, 1);
    const int64_t b = CheckInt32(L, 2);
    if (a == b) {
        lua_pushnumber(L, static_cast<lua_Number>(a));
        return 1;
    }
    const int64_t value = a + static_cast<int64_t>(std::rand()) % (b - a);
    lua_pushnumber(L, static_cast<lua_Number>(value));
    return 1;
}

int MathSystemWrapper::InterpolateCatmullRom(lua_State* L)
{
    EngineCore::D3DXVECTOR2 points[4];
    for (int i = 0; i < 4; ++i) {
        points[i].x = CheckFloat(L, 1 + 2 * i);
        points[i].y = CheckFloat(L, 2 + 2 * i);
    }
    const float t = CheckFloat(L, 9);
    EngineCore::D3DXVECTOR2 out{};
    EngineCore::MathSystem::Instance().InterpolateCatmullRom(points[0], points[1], points[2], points[3], t, out);
    PushFloat(L, out.x);
    PushFloat(L, out.y);
    return 2;
}

int MathSystemWrapper::SortNodes(lua_State*)
{
    std::lock_guard<std::mutex> hold(_nodeListLock);
    std::sort(_nodeList.begin(), _nodeList.end(), KeyBefore);
    return 0;
}

int MathSystemWrapper::GetSortedId(lua_State* L)
{
    const int32_t index = CheckInt32(L, 1);
    int id = 0;
    {
        std::lock_guard<std::mutex> hold(_nodeListLock);
        if (index < 0 || static_cast<size_t>(index) >= _nodeList.size())
            EngineCore::ThrowEngineError(kSource, 165, "Internal error.");
        id = _nodeList[static_cast<size_t>(index)]->first;
    }
    lua_pushnumber(L, static_cast<lua_Number>(id));
    return 1;
}

int MathSystemWrapper::AddSortNode(lua_State* L)
{
    const int32_t id = CheckInt32(L, 1);
    const float key = CheckFloat(L, 2);
    std::lock_guard<std::mutex> hold(_nodeListLock);
    _nodeList.push_back(std::make_shared<std::pair<int, float>>(id, key));
    return 0;
}

int MathSystemWrapper::ClearSortNodes(lua_State*)
{
    std::lock_guard<std::mutex> hold(_nodeListLock);
    _nodeList.clear();
    return 0;
}

}  // namespace GameCore
