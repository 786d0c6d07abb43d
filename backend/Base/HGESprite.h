#pragma once
// The engine's sprite drawn over HGE through a helper quad (hgeSprite).

#include <memory>

#include "engine/Renderer/Sprite.h"

namespace MobrixCore {

class HGEResourceFactory;
class HGETexture;
class hgeSprite;

class HGESprite : public EngineCore::Sprite {
public:
    HGESprite();
    ~HGESprite() override;

    bool IsValid() const override { return _helper != nullptr; }
    // The helper quad; the cursor and the particle systems draw with it.
    hgeSprite* GetData() const { return _helper; }

    void SetColor(uint32_t argb) override;
    void Render() override;
    bool SetTexture(const std::shared_ptr<EngineCore::Resource>& texture) override;
    void SetHotSpot(float x, float y) override;
    void SetTextureRect(float x, float y, float width, float height) override;
    void SetBlendMode(BlendMode mode) override;
    void SetFlipVertical(bool flip) override;
    void SetFlipHorizontal(bool flip) override;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    void Release() override;

private:
    void RequireValid(int line) const;
    // From the destructor a missing name is logged, not raised: nothing may throw there.
    void FreeHelper(bool inDestructor);

    HGETexture* _texture;  // the texture SetTexture last accepted; the base owns it
    hgeSprite* _helper;
};

}  // namespace MobrixCore
