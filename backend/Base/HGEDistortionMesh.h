#pragma once
// The engine's distortion mesh drawn over HGE through a helper grid (hgeDistortionMesh).
// Only the grid's nodes, texture, rectangle, aspects and blend mode reach the drawing;
// the sprite's colour, hot spot, scales, rotation and flips do not.

#include <memory>

#include "engine/Renderer/DistortionMesh.h"

namespace MobrixCore {

class HGEResourceFactory;
class HGETexture;
class hgeDistortionMesh;

class HGEDistortionMesh : public EngineCore::DistortionMesh {
public:
    HGEDistortionMesh();
    ~HGEDistortionMesh() override;

    bool IsValid() const override { return _helper != nullptr; }
    hgeDistortionMesh* GetData() const { return _helper; }

    void Render() override;
    // Refuses anything but a texture, and everything before Init. Texture coordinates
    // follow at the next SetTextureRect.
    bool SetTexture(const std::shared_ptr<EngineCore::Resource>& texture) override;
    void SetTextureRect(float x, float y, float width, float height) override;
    void SetBlendMode(BlendMode mode) override;

    // Per-node colours are not kept: every node answers white.
    uint32_t GetColor(int column, int row) const override;
    void SetColor(int column, int row, uint32_t argb) override;
    using EngineCore::DistortionMesh::SetColor;
    using EngineCore::DistortionMesh::GetColor;
    // A new grid: texture and rectangle carry over, displacements, aspects and the
    // blend mode start afresh. Fewer than 2 columns or rows are refused, the old grid kept.
    void SetupMesh(int columns, int rows) override;
    void SetTextureAspects(float horizontal, float vertical) override;
    void SetDisplacement(int column, int row, float dx, float dy, ReferencePoint reference) override;
    void GetDisplacement(int column, int row, ReferencePoint reference, float& dx, float& dy) override;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    void Release() override;

private:
    void RequireValid(int line) const;
    void RequireNode(int column, int row, int line) const;
    // From the destructor a missing name is logged, not raised: nothing may throw there.
    void FreeHelper(bool inDestructor);

    HGETexture* _texture;  // the texture SetTexture last accepted; the base owns it
    hgeDistortionMesh* _helper;
};

}  // namespace MobrixCore
