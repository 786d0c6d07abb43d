#pragma once
#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/Wrappers/HeldResource.h"

struct lua_State;

namespace EngineCore {
class Font;
class Resource;
}  // namespace EngineCore

namespace GameCore {

// Script class "Font": prepares a bitmap font resource, attached by name, with its
// character set and its texture. Fonts are shared by name in the resource manager, so
// every "Font", "Text" and "TextRect" naming the same font sees what was set last.
class FontWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<FontWrapper>::RegType methods[];

    explicit FontWrapper(lua_State* state);
    ~FontWrapper();
    FontWrapper(const FontWrapper&) = delete;
    FontWrapper& operator=(const FontWrapper&) = delete;

    int GetName(lua_State* L);
    int SetName(lua_State* L);
    int SetAscii(lua_State* L);
    int SetUnicode(lua_State* L);
    int SetTexture(lua_State* L);

private:
    // The attached font; throws the set-up message when there is none. Methods call it
    // before reading any argument.
    EngineCore::Font& AttachedFont() const;

    // Empty until SetName succeeds.
    HeldResource<EngineCore::Font> _font;
};

}  // namespace GameCore
