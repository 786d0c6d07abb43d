#pragma once
#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

class TextObject;

// Script class "Text": one line of text drawn with a font named by the script. The
// script object is the only holder of its text object, which is made with it (and so
// registered with the render system under the current game state, hidden) and is not
// filed in the resource manager.
class TextWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<TextWrapper>::RegType methods[];

    // Throws "Internal error." when no game state is current.
    explicit TextWrapper(lua_State* state);
    ~TextWrapper();
    TextWrapper(const TextWrapper&) = delete;
    TextWrapper& operator=(const TextWrapper&) = delete;

    int Show(lua_State* L);
    int Hide(lua_State* L);
    int SetFont(lua_State* L);
    int GetName(lua_State* L);
    int GetAsciiText(lua_State* L);
    int SetAsciiText(lua_State* L);
    int SetUnicodeText(lua_State* L);
    int SetColor(lua_State* L);
    int SetPriority(lua_State* L);
    int SetPosition(lua_State* L);
    int SetBlendMode(lua_State* L);

private:
    std::shared_ptr<TextObject> _textObject;
};

}  // namespace GameCore
