#pragma once
// How script classes read their arguments from Lua and push their results: the one
// number-to-integer rule, colours, angles, strings and truth values.

#include <cmath>
#include <cstdint>
#include <string>

#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/ArgumentError.h"

namespace GameCore {

// A script number truncated toward zero and wrapped modulo 2^32 into a signed 32-bit
// integer, so that 321 keeps 65 as a byte and -1 keeps 255. NaN and infinities, which
// have no integer, give 0. Defined for every input, unlike a plain cast.
inline int32_t ToInt32(lua_Number value)
{
    if (!std::isfinite(value))
        return 0;
    // fmod is exact, so the result lies strictly between -2^32 and 2^32.
    const int64_t wrapped = static_cast<int64_t>(std::fmod(std::trunc(value), 4294967296.0));
    int64_t low = wrapped & INT64_C(0xFFFFFFFF);
    if (low >= INT64_C(0x80000000))
        low -= INT64_C(0x100000000);
    return static_cast<int32_t>(low);
}

// A "number" argument: a number or a string that reads as one. Every reader here raises
// its argument errors numbered from the method's first argument (ArgumentError.h), never
// through Lua's own checks, which would count the object the binder removed.
inline lua_Number CheckNumber(lua_State* L, int index)
{
    const lua_Number value = lua_tonumber(L, index);
    if (value == 0 && !lua_isnumber(L, index))
        GameLuaScriptImpl::RaiseArgumentTypeError(L, index, "number");
    return value;
}

// A "number" argument as the single-precision float the engine takes.
inline float CheckFloat(lua_State* L, int index)
{
    return static_cast<float>(CheckNumber(L, index));
}

inline int32_t CheckInt32(lua_State* L, int index)
{
    return ToInt32(CheckNumber(L, index));
}

// A count argument: the integer rule above, its 32 bits taken as unsigned (so -1 is
// 4294967295).
inline uint32_t CheckUint32(lua_State* L, int index)
{
    return static_cast<uint32_t>(CheckInt32(L, index));
}

// The low 8 bits of an integer argument (300 gives 44, -1 gives 255): character
// codes, byte ids and byte counters.
inline uint8_t CheckLowByte(lua_State* L, int index)
{
    return static_cast<uint8_t>(static_cast<uint32_t>(CheckInt32(L, index)) & 0xFFu);
}

// A string argument, used up to its first zero byte.
inline std::string CheckString(lua_State* L, int index)
{
    const char* text = lua_tolstring(L, index, nullptr);
    if (!text)
        GameLuaScriptImpl::RaiseArgumentTypeError(L, index, "string");
    return std::string(text);
}

// A flag that counts as true only when the number is exactly 1 (2 and 0.5 are false).
inline bool CheckFlagExactlyOne(lua_State* L, int index)
{
    return CheckFloat(L, index) == 1.0f;
}

// A flag that counts as true when the number truncated toward zero is 1 (1.7 is true,
// 0.9 and 2 are false).
inline bool CheckFlagTruncatedOne(lua_State* L, int index)
{
    return CheckInt32(L, index) == 1;
}

// Four channel arguments from `index` on (r, g, b, a); each keeps the low byte of its
// integer, with no clamping, packed as 0xAARRGGBB.
inline uint32_t CheckColor(lua_State* L, int index)
{
    const uint32_t r = static_cast<uint32_t>(CheckInt32(L, index)) & 0xFFu;
    const uint32_t g = static_cast<uint32_t>(CheckInt32(L, index + 1)) & 0xFFu;
    const uint32_t b = static_cast<uint32_t>(CheckInt32(L, index + 2)) & 0xFFu;
    const uint32_t a = static_cast<uint32_t>(CheckInt32(L, index + 3)) & 0xFFu;
    return a << 24 | r << 16 | g << 8 | b;
}

// Pushes r, g, b, a of an 0xAARRGGBB colour; returns the number of values pushed.
inline int PushColor(lua_State* L, uint32_t argb)
{
    lua_pushnumber(L, static_cast<lua_Number>((argb >> 16) & 0xFFu));
    lua_pushnumber(L, static_cast<lua_Number>((argb >> 8) & 0xFFu));
    lua_pushnumber(L, static_cast<lua_Number>(argb & 0xFFu));
    lua_pushnumber(L, static_cast<lua_Number>(argb >> 24));
    return 4;
}

// Scripts speak degrees, the engine radians; both ways in single precision.
inline float DegreesToRadians(float degrees)
{
    return degrees * 0.017453292f;
}

inline float RadiansToDegrees(float radians)
{
    return radians * 57.295776f;
}

// Truth goes to scripts as the numbers 1 and 0, never as a Lua boolean.
inline void PushTruth(lua_State* L, bool value)
{
    lua_pushnumber(L, value ? 1 : 0);
}

inline void PushFloat(lua_State* L, float value)
{
    lua_pushnumber(L, static_cast<lua_Number>(value));
}

}  // namespace GameCore
