#pragma once
// Drawables for tests that record what is done to them.
#include <string>
#include <vector>

#include "engine/Renderer/DistortionMesh.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/Texture.h"

namespace TestSupport {

// Sprites register with the render system: a game state must be current when one is made.
class FakeAnimatedSprite : public EngineCore::Sprite {
public:
    void Render() override {}
    void SetPriority(float value) override
    {
        calls.push_back("SetPriority");
        Sprite::SetPriority(value);
    }
    void SetColor(uint32_t argb) override
    {
        calls.push_back("SetColor");
        Sprite::SetColor(argb);
    }
    void SetVerticalScale(float value) override
    {
        calls.push_back("SetVerticalScale");
        Sprite::SetVerticalScale(value);
    }
    void SetHorizontalScale(float value) override
    {
        calls.push_back("SetHorizontalScale");
        Sprite::SetHorizontalScale(value);
    }
    void SetRotation(float value) override
    {
        calls.push_back("SetRotation");
        Sprite::SetRotation(value);
    }
    void SetPosition(float x, float y) override
    {
        calls.push_back("SetPosition");
        Sprite::SetPosition(x, y);
    }
    void SetTextureRect(float x, float y, float w, float h) override
    {
        calls.push_back("SetTextureRect");
        Sprite::SetTextureRect(x, y, w, h);
    }

    std::vector<std::string> calls;
};

class SizedTexture : public EngineCore::Texture {
public:
    SizedTexture(unsigned width, unsigned height) { SetSize(width, height); }
};

class RecordingMesh : public EngineCore::DistortionMesh {
public:
    struct Displacement {
        int column, row;
        float dx, dy;
        int reference;
    };
    void Render() override {}
    uint32_t GetColor(int, int) const override { return 0xFFFFFFFFu; }
    void SetColor(int, int, uint32_t) override {}
    void SetTextureAspects(float, float) override {}
    void SetDisplacement(int column, int row, float dx, float dy, ReferencePoint reference) override
    {
        displacements.push_back({column, row, dx, dy, static_cast<int>(reference)});
    }
    void GetDisplacement(int, int, ReferencePoint, float& dx, float& dy) override { dx = dy = 0; }

    std::vector<Displacement> displacements;
};

}  // namespace TestSupport
