#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/Wrappers/HeldResource.h"

struct lua_State;

namespace EngineCore {
class DistortionMesh;
class Resource;
}  // namespace EngineCore

namespace GameCore {

// Script class "DistortionMesh": drives one distortion mesh, attached by name, and
// remembers the texture name and texture rectangle set through it. The mesh is shared
// with the resource manager and with every other object that attached the same name.
class DistortionMeshWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<DistortionMeshWrapper>::RegType methods[];

    explicit DistortionMeshWrapper(lua_State* state);
    ~DistortionMeshWrapper();
    DistortionMeshWrapper(const DistortionMeshWrapper&) = delete;
    DistortionMeshWrapper& operator=(const DistortionMeshWrapper&) = delete;

    int GetName(lua_State* L);
    int SetName(lua_State* L);
    int Show(lua_State* L);
    int Hide(lua_State* L);
    int SetColor(lua_State* L);
    int SetPosition(lua_State* L);
    int SetBlendMode(lua_State* L);
    int SetTextureRect(lua_State* L);
    int IsVisible(lua_State* L);
    int SetTexture(lua_State* L);
    int SetPriority(lua_State* L);
    int GetTexture(lua_State* L);
    int GetPriority(lua_State* L);
    int GetPosition(lua_State* L);
    int GetTextureRect(lua_State* L);
    int SetupMesh(lua_State* L);
    int SetDisplacement(lua_State* L);
    int SetTextureAspects(lua_State* L);

private:
    struct TextureRect {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };

    // The attached mesh; throws the set-up message when there is none. Methods call it
    // before reading any argument.
    EngineCore::DistortionMesh& Mesh() const;

    // The rectangle last set through this object, truncated.
    TextureRect _textureRect;
    // The name of the texture last set through this object.
    std::string _textureName;
    // Empty until SetName succeeds.
    HeldResource<EngineCore::DistortionMesh> _mesh;
};

}  // namespace GameCore
