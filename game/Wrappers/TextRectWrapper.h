#pragma once
#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class Resource;
}

namespace GameCore {

class TextRect;

// Script class "TextRect": a block of word-wrapped text in a rectangle, drawn with a
// font named by the script. The text rectangle is made with the object (registered
// with the render system under the current game state, hidden) and filed in the
// resource manager as "Internal.TextRect.<n>", n from a process-wide counter; it lives
// until both this object and the manager let go of it.
class TextRectWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<TextRectWrapper>::RegType methods[];

    // Lays out in a 1024 x 768 rectangle. Throws "Internal error." when no game state
    // is current.
    explicit TextRectWrapper(lua_State* state);
    ~TextRectWrapper();
    TextRectWrapper(const TextRectWrapper&) = delete;
    TextRectWrapper& operator=(const TextRectWrapper&) = delete;

    int Show(lua_State* L);
    int Hide(lua_State* L);
    int GetName(lua_State* L);
    int GetColor(lua_State* L);
    int GetPosition(lua_State* L);
    int SetSize(lua_State* L);
    int SetFont(lua_State* L);
    int GetNumLines(lua_State* L);
    int GetAsciiText(lua_State* L);
    int SetAsciiText(lua_State* L);
    int SetUnicodeText(lua_State* L);
    int SetColor(lua_State* L);
    int SetPriority(lua_State* L);
    int SetPosition(lua_State* L);
    int SetBlendMode(lua_State* L);
    int SetSpaceWidth(lua_State* L);
    int SetCharOffset(lua_State* L);
    int SetLineOffset(lua_State* L);
    int SetAlignment(lua_State* L);
    int SetVerticalAlignment(lua_State* L);
    int GetDrawTextRect(lua_State* L);

private:
    // Not owning: the object held by _textRectResource.
    TextRect* _textRect = nullptr;
    std::shared_ptr<EngineCore::Resource> _textRectResource;
};

}  // namespace GameCore
