#pragma once
// How script classes turn Lua numbers into the integers their engine calls take.

#include <cmath>
#include <cstdint>

#include <lua.hpp>

namespace GameCore {

// Truncated toward zero to 64 bits; a number outside that range (or NaN) gives
// the nearest end (0 for NaN) instead of undefined behaviour.
inline int64_t ScriptNumberToInt64(lua_Number value)
{
    if (!(value == value))
        return 0;
    if (value >= 9223372036854775807.0)
        return INT64_MAX;
    if (value <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(value);
}

// The low 32 bits of the truncated number: -1 becomes 4294967295.
inline uint32_t ScriptNumberToUInt32(lua_Number value)
{
    return static_cast<uint32_t>(static_cast<uint64_t>(ScriptNumberToInt64(value)));
}

// The low 32 bits of the truncated number, as a signed int.
inline int32_t ScriptNumberToInt32(lua_Number value)
{
    return static_cast<int32_t>(ScriptNumberToUInt32(value));
}

}  // namespace GameCore
