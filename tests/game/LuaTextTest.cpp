#include <gtest/gtest.h>

#include <lua.hpp>

#include <locale>
#include <string>

#include "game/Base/LuaText.h"

using namespace GameCore;

namespace {

// Runs `name = <literal>` and returns the bytes Lua stored, or "<error: ...>".
std::string RoundTrip(const std::string& literal)
{
    lua_State* state = luaL_newstate();
    const std::string text = "value = " + literal;
    std::string result;
    if (luaL_loadstring(state, text.c_str()) != 0 || lua_pcall(state, 0, 0, 0) != 0) {
        result = std::string("<error: ") + lua_tostring(state, -1) + ">";
    } else {
        lua_getglobal(state, "value");
        size_t length = 0;
        const char* bytes = lua_tolstring(state, -1, &length);
        result.assign(bytes, length);
    }
    lua_close(state);
    return result;
}

struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

}  // namespace

TEST(LuaText, QuotedNamesReadBackUnchanged)
{
    const std::string names[] = {
        "",
        "Textures/Page1.png",
        "a\"b",
        "back\\slash\\",
        "line\nbreak\r",
        std::string("nul\0" "7tail", 9),
        "\"; Loading.Update = nil; x = \"",
        "\xC3\xA9t\xC3\xA9",
    };
    for (const std::string& name : names)
        EXPECT_EQ(RoundTrip(QuoteLuaString(name)), name);
}

TEST(LuaText, NumbersUseNineDigitsAndAPointInAnyLocale)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    EXPECT_EQ(FormatLuaNumber(1.0f / 60.0f), "0.0166666675");
    EXPECT_EQ(FormatLuaNumber(0.25f), "0.25");
    EXPECT_EQ(FormatLuaNumber(0.0f), "0");
    EXPECT_EQ(FormatLuaNumber(2.0f), "2");
    std::locale::global(previous);
}
