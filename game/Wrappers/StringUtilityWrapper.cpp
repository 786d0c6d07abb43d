#include "game/Wrappers/StringUtilityWrapper.h"

#include <climits>
#include <string>

#include <lua.hpp>

#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

// The byte of a character-code argument.
char CheckByte(lua_State* L, int index)
{
    return static_cast<char>(CheckLowByte(L, index));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const char StringUtilityWrapper::className[] = "StringUtility";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<StringUtilityWrapper>::RegType StringUtilityWrapper::methods[] = {
    {"StrLen", &StringUtilityWrapper::StrLen},
    {"StrCatChar", &StringUtilityWrapper::StrCatChar},
    {"StrCutLastChar", &StringUtilityWrapper::StrCutLastChar},
    {"StrIsContainChar", &StringUtilityWrapper::StrIsContainChar},
    {"StrGetFirstNumber", &StringUtilityWrapper::StrGetFirstNumber},
    {"StrStartsWith", &StringUtilityWrapper::StrStartsWith},
    {nullptr, nullptr},
};

StringUtilityWrapper::StringUtilityWrapper(lua_State*) {}

int StringUtilityWrapper::StrLen(lua_State* L)
{
    lua_pushnumber(L, static_cast<lua_Number>(CheckString(L, 1).size()));
    return 1;
}

int StringUtilityWrapper::StrCatChar(lua_State* L)
{
    std::string text = CheckString(L, 1);
    const char byte = CheckByte(L, 2);
    // A zero byte would end the pushed text anyway.
    if (byte != '\0')
        text += byte;
    lua_pushstring(L, text.c_str());
    return 1;
}

int StringUtilityWrapper::StrCutLastChar(lua_State* L)
{
    std::string text = CheckString(L, 1);
    if (!text.empty())
        text.pop_back();
    lua_pushstring(L, text.c_str());
    return 1;
}

int StringUtilityWrapper::StrIsContainChar(lua_State* L)
{
    const std::string text = CheckString(L, 1);
    const char byte = CheckByte(L, 2);
    PushTruth(L, byte != '\0' && text.find(byte) != std::string::npos);
    return 1;
}

int StringUtilityWrapper::StrGetFirstNumber(lua_State* L)
{
    lua_pushnumber(L, FirstNumber(CheckString(L, 1)));
    return 1;
}

int StringUtilityWrapper::StrStartsWith(lua_State* L)
{
    const std::string text = CheckString(L, 1);
    const std::string prefix = CheckString(L, 2);
    PushTruth(L, text.compare(0, prefix.size(), prefix) == 0 && prefix.size() <= text.size());
    return 1;
}

int StringUtilityWrapper::FirstNumber(const std::string& text)
{
    int result = -1;
    bool seenDigit = false;
    size_t start = std::string::npos;
    size_t end = text.size();
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            seenDigit = true;
            if (start == std::string::npos) {
                if (c == '0')
                    result = 0;
                else
                    start = i;
            }
            continue;
        }
        if (start != std::string::npos) {
            end = i;
            break;
        }
        if (seenDigit)
            break;
    }
    if (start == std::string::npos)
        return result;
    long long value = 0;
    for (size_t i = start; i < end; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            return result;
    }
    return static_cast<int>(value);
}

}  // namespace GameCore
