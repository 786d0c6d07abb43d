#include "backend/Base/HGEDistortionMesh.h"

#include "backend/Base/HGESystemObject.h"
#include "backend/Base/ResourceLog.h"
#include "backend/Base/HGETexture.h"
#include "backend/Helpers/hgeDistortionMesh.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGEDistortionMesh.cpp";

int HelperReference(EngineCore::DistortionMesh::ReferencePoint reference)
{
    if (reference == hgeDistortionMesh::kTopLeft || reference == hgeDistortionMesh::kCentre)
        return reference;
    return hgeDistortionMesh::kNode;
}

}  // namespace

HGEDistortionMesh::HGEDistortionMesh() : _texture(nullptr), _helper(nullptr) {}

HGEDistortionMesh::~HGEDistortionMesh()
{
    FreeHelper(true);
    delete _helper;
    _helper = nullptr;
}

std::shared_ptr<EngineCore::Resource> HGEDistortionMesh::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGEDistortionMesh);
}

void HGEDistortionMesh::RequireValid(int line) const
{
    if (!_helper)
        EngineCore::ThrowEngineError(kSource, line, "Resource is not valid.");
}

void HGEDistortionMesh::RequireNode(int column, int row, int line) const
{
    if (column < 0 || column >= GetNumColumns() || row < 0 || row >= GetNumRows())
        EngineCore::ThrowEngineError(kSource, line, "HGEDistortionMesh cell index is not valid.");
}

void HGEDistortionMesh::Init()
{
    Release();
    HGESystemObject::Instance()->System_Log("Sprite_Create (%s)...ok", RequireName(*this, kSource, 52));
    SetupMesh(2, 2);
}

void HGEDistortionMesh::Release()
{
    FreeHelper(false);
}

void HGEDistortionMesh::FreeHelper(bool inDestructor)
{
    if (!_texture && !_helper)
        return;
    EngineCore::Sprite::Release();
    delete _helper;
    _helper = nullptr;
    _texture = nullptr;
    LogResource("Sprite_Free (%s)...ok", NameForFreeLog(*this, kSource, 75, inDestructor));
}

void HGEDistortionMesh::SetupMesh(int columns, int rows)
{
    if (columns < 2 || rows < 2)
        EngineCore::ThrowEngineError(kSource, 84, "Distortion mesh: minimum 2 rows and 2 columns.");
    std::shared_ptr<EngineCore::Resource> texture;
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
    if (_helper) {
        texture = GetTexture();
        GetTextureRect(x, y, width, height);
    }
    // The grid the node checks go by changes only once a grid of that size exists: a grid
    // too large to make leaves both as they were.
    hgeDistortionMesh* helper = new hgeDistortionMesh(columns, rows);
    EngineCore::DistortionMesh::SetupMesh(columns, rows);
    delete _helper;
    _helper = helper;
    _texture = nullptr;
    if (texture) {
        SetTexture(texture);
        SetTextureRect(x, y, width, height);
    }
}

bool HGEDistortionMesh::SetTexture(const std::shared_ptr<EngineCore::Resource>& texture)
{
    // A refused resource must not displace the texture still drawn: the base owns it.
    // Before Init there is no grid to give a texture to.
    auto* hgeTexture = dynamic_cast<HGETexture*>(texture.get());
    if (!hgeTexture || !_helper)
        return false;
    if (!EngineCore::Sprite::SetTexture(texture))
        return false;
    _texture = hgeTexture;
    _helper->SetTexture(_texture->GetHandle());
    return true;
}

void HGEDistortionMesh::SetTextureRect(float x, float y, float width, float height)
{
    EngineCore::DistortionMesh::SetTextureRect(x, y, width, height);
    RequireValid(119);
    _helper->SetTextureRect(x, y, width, height);
}

void HGEDistortionMesh::SetBlendMode(BlendMode mode)
{
    RequireValid(126);
    EngineCore::DistortionMesh::SetBlendMode(mode);
    _helper->SetBlendMode(static_cast<int>(mode));
}

uint32_t HGEDistortionMesh::GetColor(int column, int row) const
{
    RequireNode(column, row, 133);
    return 0xFFFFFFFFu;
}

void HGEDistortionMesh::SetColor(int column, int row, uint32_t)
{
    RequireNode(column, row, 139);
}

void HGEDistortionMesh::SetTextureAspects(float horizontal, float vertical)
{
    RequireValid(144);
    _helper->SetTextureAspects(horizontal, vertical);
}

void HGEDistortionMesh::SetDisplacement(int column, int row, float dx, float dy, ReferencePoint reference)
{
    RequireValid(150);
    RequireNode(column, row, 151);
    _helper->SetDisplacement(column, row, dx, dy, HelperReference(reference));
}

void HGEDistortionMesh::GetDisplacement(int column, int row, ReferencePoint reference, float& dx, float& dy)
{
    RequireValid(157);
    RequireNode(column, row, 158);
    _helper->GetDisplacement(column, row, HelperReference(reference), dx, dy);
}

void HGEDistortionMesh::Render()
{
    RequireValid(164);
    if (IsVisible())
        _helper->Render(GetPositionX(), GetPositionY());
}

}  // namespace MobrixCore
