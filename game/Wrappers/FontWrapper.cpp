#include "game/Wrappers/FontWrapper.h"

#include <lua.hpp>

#include "engine/Renderer/Font.h"
#include "engine/Renderer/Texture.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/FontLookup.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\FontWrapper.cpp";

}  // namespace

const char FontWrapper::className[] = "Font";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<FontWrapper>::RegType FontWrapper::methods[] = {
    {"GetName", &FontWrapper::GetName},
    {"SetName", &FontWrapper::SetName},
    {"SetAscii", &FontWrapper::SetAscii},
    {"SetUnicode", &FontWrapper::SetUnicode},
    {"SetTexture", &FontWrapper::SetTexture},
    {nullptr, nullptr},
};

FontWrapper::FontWrapper(lua_State*) {}

FontWrapper::~FontWrapper() = default;

EngineCore::Font& FontWrapper::AttachedFont() const
{
    return _font.Require(kSource, 38, "Font is not initialized. First call - SetName().");
}

int FontWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, AttachedFont().GetName());
    return 1;
}

int FontWrapper::SetName(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    // A failed SetName leaves no font attached, even one attached before.
    _font.Reset();

    // A name already taken by a resource that is not a font is never used as one.
    _font.Hold(FindFont(name, kSource, 56));
    return 0;
}

int FontWrapper::SetAscii(lua_State* L)
{
    EngineCore::Font& font = AttachedFont();
    font.SetAscii(CheckString(L, 1).c_str());
    return 0;
}

int FontWrapper::SetUnicode(lua_State*)
{
    AttachedFont();
    EngineCore::ThrowEngineError(kSource, 76, "Don't yet implemented.");
}

int FontWrapper::SetTexture(lua_State* L)
{
    EngineCore::Font& font = AttachedFont();
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::Resource> texture;
    // A name held by a resource of another kind is no texture; the old one stays.
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_TEXTURE, texture) ||
        !dynamic_cast<EngineCore::Texture*>(texture.get()))
        EngineCore::ThrowEngineErrorF(kSource, 87, "Resource (%s) not found.", name.c_str());
    font.SetTexture(texture);
    return 0;
}

}  // namespace GameCore
