#include "game/Wrappers/DistortionMeshWrapper.h"

#include <lua.hpp>

#include "engine/Renderer/DistortionMesh.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\DistortionMeshWrapper.cpp";

}  // namespace

const char DistortionMeshWrapper::className[] = "DistortionMesh";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<DistortionMeshWrapper>::RegType DistortionMeshWrapper::methods[] = {
    {"GetName", &DistortionMeshWrapper::GetName},
    {"SetName", &DistortionMeshWrapper::SetName},
    {"Show", &DistortionMeshWrapper::Show},
    {"Hide", &DistortionMeshWrapper::Hide},
    {"SetColor", &DistortionMeshWrapper::SetColor},
    {"SetPosition", &DistortionMeshWrapper::SetPosition},
    {"SetBlendMode", &DistortionMeshWrapper::SetBlendMode},
    {"SetTextureRect", &DistortionMeshWrapper::SetTextureRect},
    {"IsVisible", &DistortionMeshWrapper::IsVisible},
    {"SetTexture", &DistortionMeshWrapper::SetTexture},
    {"SetPriority", &DistortionMeshWrapper::SetPriority},
    {"GetTexture", &DistortionMeshWrapper::GetTexture},
    {"GetPriority", &DistortionMeshWrapper::GetPriority},
    {"GetPosition", &DistortionMeshWrapper::GetPosition},
    {"GetTextureRect", &DistortionMeshWrapper::GetTextureRect},
    {"SetupMesh", &DistortionMeshWrapper::SetupMesh},
    {"SetDisplacement", &DistortionMeshWrapper::SetDisplacement},
    {"SetTextureAspects", &DistortionMeshWrapper::SetTextureAspects},
    {nullptr, nullptr},
};

DistortionMeshWrapper::DistortionMeshWrapper(lua_State*) {}

DistortionMeshWrapper::~DistortionMeshWrapper() = default;

EngineCore::DistortionMesh& DistortionMeshWrapper::Mesh() const
{
    return _mesh.Require(kSource, 56, "DistortionMesh not initialized. First call - SetName().");
}

int DistortionMeshWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, Mesh().GetName());
    return 1;
}

int DistortionMeshWrapper::SetName(lua_State* L)
{
    // The mesh let go of may live on in the manager or another object.
    _mesh.Reset();
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::Resource> resource;
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_DISTORTION_MESH, resource))
        EngineCore::ThrowEngineErrorF(kSource, 73, "Resource (%s) creating error.", name.c_str());
    // A name already taken by a resource that is not a mesh is never driven as one.
    _mesh.Hold(resource);
    if (!_mesh)
        EngineCore::ThrowEngineErrorF(kSource, 77, "Resource (%s) creating error.", name.c_str());
    _mesh->SetVisible(false);
    return 0;
}

int DistortionMeshWrapper::Show(lua_State*)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    if (!mesh.IsVisible())
        mesh.SetVisible(true);
    return 0;
}

int DistortionMeshWrapper::Hide(lua_State*)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    if (mesh.IsVisible())
        mesh.SetVisible(false);
    return 0;
}

int DistortionMeshWrapper::SetColor(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    mesh.SetColor(CheckColor(L, 1));
    return 0;
}

int DistortionMeshWrapper::SetPosition(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    mesh.SetPosition(x, y);
    return 0;
}

int DistortionMeshWrapper::SetBlendMode(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    mesh.SetBlendMode(CheckInt32(L, 1));
    return 0;
}

int DistortionMeshWrapper::SetTextureRect(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    const float width = CheckFloat(L, 3);
    const float height = CheckFloat(L, 4);
    _textureRect.x = ToInt32(x);
    _textureRect.y = ToInt32(y);
    _textureRect.width = ToInt32(width);
    _textureRect.height = ToInt32(height);
    mesh.SetTextureRect(x, y, width, height);
    return 0;
}

int DistortionMeshWrapper::IsVisible(lua_State* L)
{
    PushTruth(L, Mesh().IsVisible());
    return 1;
}

int DistortionMeshWrapper::SetTexture(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::Resource> texture;
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_TEXTURE, texture))
        EngineCore::ThrowEngineErrorF(kSource, 149, "Resource (%s) not found.", name.c_str());
    // The mesh refuses what is no texture and keeps drawing the one it had; scripts
    // still read back the name they gave.
    mesh.SetTexture(texture);
    _textureName = name;
    return 0;
}

int DistortionMeshWrapper::SetPriority(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    mesh.SetPriority(CheckFloat(L, 1));
    return 0;
}

int DistortionMeshWrapper::GetTexture(lua_State* L)
{
    lua_pushstring(L, _textureName.c_str());
    return 1;
}

int DistortionMeshWrapper::GetPriority(lua_State* L)
{
    PushFloat(L, Mesh().GetPriority());
    return 1;
}

int DistortionMeshWrapper::GetPosition(lua_State* L)
{
    const EngineCore::DistortionMesh& mesh = Mesh();
    PushFloat(L, mesh.GetPositionX());
    PushFloat(L, mesh.GetPositionY());
    return 2;
}

int DistortionMeshWrapper::GetTextureRect(lua_State* L)
{
    lua_pushnumber(L, _textureRect.x);
    lua_pushnumber(L, _textureRect.y);
    lua_pushnumber(L, _textureRect.width);
    lua_pushnumber(L, _textureRect.height);
    return 4;
}

int DistortionMeshWrapper::SetupMesh(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    const int32_t columns = CheckInt32(L, 1);
    const int32_t rows = CheckInt32(L, 2);
    mesh.SetupMesh(columns, rows);
    return 0;
}

int DistortionMeshWrapper::SetDisplacement(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    const int32_t column = CheckInt32(L, 1);
    const int32_t row = CheckInt32(L, 2);
    const float dx = CheckFloat(L, 3);
    const float dy = CheckFloat(L, 4);
    const int32_t reference = CheckInt32(L, 5);
    mesh.SetDisplacement(column, row, dx, dy, reference);
    return 0;
}

int DistortionMeshWrapper::SetTextureAspects(lua_State* L)
{
    EngineCore::DistortionMesh& mesh = Mesh();
    const float first = CheckFloat(L, 1);
    const float second = CheckFloat(L, 2);
    mesh.SetTextureAspects(first, second);
    return 0;
}

}  // namespace GameCore
