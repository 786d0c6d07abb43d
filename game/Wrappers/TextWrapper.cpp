#include "game/Wrappers/TextWrapper.h"

#include <lua.hpp>

#include "engine/System/EngineError.h"
#include "game/Renderer/TextObject.h"
#include "game/Wrappers/FontLookup.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\TextWrapper.cpp";

}  // namespace

const char TextWrapper::className[] = "Text";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<TextWrapper>::RegType TextWrapper::methods[] = {
    {"Show", &TextWrapper::Show},
    {"Hide", &TextWrapper::Hide},
    {"SetFont", &TextWrapper::SetFont},
    {"GetName", &TextWrapper::GetName},
    {"GetAsciiText", &TextWrapper::GetAsciiText},
    {"SetAsciiText", &TextWrapper::SetAsciiText},
    {"SetUnicodeText", &TextWrapper::SetUnicodeText},
    {"SetColor", &TextWrapper::SetColor},
    {"SetPriority", &TextWrapper::SetPriority},
    {"SetPosition", &TextWrapper::SetPosition},
    {"SetBlendMode", &TextWrapper::SetBlendMode},
    {nullptr, nullptr},
};

TextWrapper::TextWrapper(lua_State*) : _textObject(std::make_shared<TextObject>()) {}

TextWrapper::~TextWrapper() = default;

int TextWrapper::Show(lua_State*)
{
    _textObject->SetVisible(true);
    return 0;
}

int TextWrapper::Hide(lua_State*)
{
    _textObject->SetVisible(false);
    return 0;
}

int TextWrapper::SetFont(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    _textObject->SetFont(FindFont(name, kSource, 55));
    return 0;
}

int TextWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, _textObject->GetName());
    return 1;
}

int TextWrapper::GetAsciiText(lua_State* L)
{
    lua_pushstring(L, _textObject->GetAsciiText());
    return 1;
}

int TextWrapper::SetAsciiText(lua_State* L)
{
    _textObject->SetText(CheckString(L, 1).c_str());
    return 0;
}

int TextWrapper::SetUnicodeText(lua_State*)
{
    EngineCore::ThrowEngineError(kSource, 79, "Don't yet implemented.");
}

int TextWrapper::SetColor(lua_State* L)
{
    _textObject->SetColor(CheckColor(L, 1));
    return 0;
}

int TextWrapper::SetPriority(lua_State* L)
{
    _textObject->SetPriority(CheckFloat(L, 1));
    return 0;
}

int TextWrapper::SetPosition(lua_State* L)
{
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    _textObject->SetPosition(x, y);
    return 0;
}

int TextWrapper::SetBlendMode(lua_State* L)
{
    _textObject->SetBlendMode(CheckInt32(L, 1));
    return 0;
}

}  // namespace GameCore
