#include "game/Wrappers/TextRectWrapper.h"

#include <atomic>
#include <string>

#include <lua.hpp>

#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Renderer/TextRect.h"
#include "game/Wrappers/FontLookup.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\TextRectWrapper.cpp";

// Counts across game states and is never reset; objects may be made on the loader
// thread while the main thread makes others.
std::atomic<unsigned> currentTextRectIndex{0};

}  // namespace

const char TextRectWrapper::className[] = "TextRect";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<TextRectWrapper>::RegType TextRectWrapper::methods[] = {
    {"Show", &TextRectWrapper::Show},
    {"Hide", &TextRectWrapper::Hide},
    {"GetName", &TextRectWrapper::GetName},
    {"GetColor", &TextRectWrapper::GetColor},
    {"GetPosition", &TextRectWrapper::GetPosition},
    {"SetSize", &TextRectWrapper::SetSize},
    {"SetFont", &TextRectWrapper::SetFont},
    {"GetNumLines", &TextRectWrapper::GetNumLines},
    {"GetAsciiText", &TextRectWrapper::GetAsciiText},
    {"SetAsciiText", &TextRectWrapper::SetAsciiText},
    {"SetUnicodeText", &TextRectWrapper::SetUnicodeText},
    {"SetColor", &TextRectWrapper::SetColor},
    {"SetPriority", &TextRectWrapper::SetPriority},
    {"SetPosition", &TextRectWrapper::SetPosition},
    {"SetBlendMode", &TextRectWrapper::SetBlendMode},
    {"SetSpaceWidth", &TextRectWrapper::SetSpaceWidth},
    {"SetCharOffset", &TextRectWrapper::SetCharOffset},
    {"SetLineOffset", &TextRectWrapper::SetLineOffset},
    {"SetAlignment", &TextRectWrapper::SetAlignment},
    {"SetVerticalAlignment", &TextRectWrapper::SetVerticalAlignment},
    {"GetDrawTextRect", &TextRectWrapper::GetDrawTextRect},
    {nullptr, nullptr},
};

TextRectWrapper::TextRectWrapper(lua_State*)
{
    auto textRect = std::make_shared<TextRect>();
    const std::string name = "Internal.TextRect." + std::to_string(currentTextRectIndex++);
    if (!EngineCore::ResourceManager::Instance().AddResource(name, textRect))
        EngineCore::ThrowEngineErrorF(kSource, 64, "Resource (%s) creating error.", name.c_str());
    _textRectResource = textRect;
    _textRect = textRect.get();
    TextRect::Rect rect;
    rect.right = 1024;
    rect.bottom = 768;
    _textRect->SetRect(rect);
}

TextRectWrapper::~TextRectWrapper() = default;

int TextRectWrapper::Show(lua_State*)
{
    _textRect->SetVisible(true);
    return 0;
}

int TextRectWrapper::Hide(lua_State*)
{
    _textRect->SetVisible(false);
    return 0;
}

int TextRectWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, _textRect->GetName());
    return 1;
}

int TextRectWrapper::GetColor(lua_State* L)
{
    return PushColor(L, _textRect->GetColor());
}

int TextRectWrapper::GetPosition(lua_State* L)
{
    PushFloat(L, _textRect->GetPositionX());
    PushFloat(L, _textRect->GetPositionY());
    return 2;
}

int TextRectWrapper::SetSize(lua_State* L)
{
    TextRect::Rect rect;
    rect.right = CheckInt32(L, 1);
    rect.bottom = CheckInt32(L, 2);
    _textRect->SetRect(rect);
    return 0;
}

int TextRectWrapper::SetFont(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    _textRect->SetFont(FindFont(name, kSource, 111));
    return 0;
}

int TextRectWrapper::GetNumLines(lua_State* L)
{
    lua_pushnumber(L, _textRect->GetNumLines());
    return 1;
}

int TextRectWrapper::GetAsciiText(lua_State* L)
{
    lua_pushstring(L, _textRect->GetAsciiText());
    return 1;
}

int TextRectWrapper::SetAsciiText(lua_State* L)
{
    _textRect->SetText(CheckString(L, 1).c_str());
    return 0;
}

int TextRectWrapper::SetUnicodeText(lua_State*)
{
    EngineCore::ThrowEngineError(kSource, 135, "Don't yet implemented.");
}

int TextRectWrapper::SetColor(lua_State* L)
{
    _textRect->SetColor(CheckColor(L, 1));
    return 0;
}

int TextRectWrapper::SetPriority(lua_State* L)
{
    _textRect->SetPriority(CheckFloat(L, 1));
    return 0;
}

int TextRectWrapper::SetPosition(lua_State* L)
{
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    _textRect->SetPosition(x, y);
    return 0;
}

int TextRectWrapper::SetBlendMode(lua_State* L)
{
    _textRect->SetBlendMode(CheckInt32(L, 1));
    return 0;
}

int TextRectWrapper::SetSpaceWidth(lua_State* L)
{
    _textRect->SetSpaceWidth(CheckFloat(L, 1));
    return 0;
}

int TextRectWrapper::SetCharOffset(lua_State* L)
{
    _textRect->SetCharOffset(CheckFloat(L, 1));
    return 0;
}

int TextRectWrapper::SetLineOffset(lua_State* L)
{
    _textRect->SetLineOffset(CheckFloat(L, 1));
    return 0;
}

int TextRectWrapper::SetAlignment(lua_State* L)
{
    _textRect->SetAlignment(CheckInt32(L, 1));
    return 0;
}

int TextRectWrapper::SetVerticalAlignment(lua_State* L)
{
    _textRect->SetVerAlignment(CheckInt32(L, 1));
    return 0;
}

int TextRectWrapper::GetDrawTextRect(lua_State* L)
{
    TextRect::Rect rect;
    _textRect->GetDrawTextRect(rect);
    lua_pushnumber(L, rect.left);
    lua_pushnumber(L, rect.top);
    lua_pushnumber(L, rect.right);
    lua_pushnumber(L, rect.bottom);
    return 4;
}

}  // namespace GameCore
