#pragma once
#include <cstdint>
#include <vector>

#include "engine/Math/D3DXQUATERNION.h"
#include "engine/Math/D3DXVECTOR3.h"

namespace EngineCore {

// One keyframe: a flags word naming the channels the key drives and one value
// per channel. A channel takes part in blending only when its bit is set in the
// earlier key of a pair; no setter ever clears a bit.
class AnimationKey {
public:
    enum KeyType : uint32_t {
        KT_SCALE = 0x01,
        KT_ROTATION = 0x02,
        KT_TRANSLATION = 0x04,
        KT_OPACITY = 0x08,
        KT_DIFFUSE_COLOR = 0x10,
        KT_ANIMATION_FRAME = 0x20,
        KT_VERTEX_DATA = 0x40,
    };

    // A sample: every channel 0, the rotation the identity, no vertex data.
    struct KeyValue {
        D3DXVECTOR3 scale{0, 0, 0};
        D3DXVECTOR3 translation{0, 0, 0};
        D3DXQUATERNION rotation{0, 0, 0, 1};
        float opacity = 0;
        int frame = 0;
        D3DXVECTOR3 diffuseColor{0, 0, 0};
        std::vector<float> vertexData;
    };

    AnimationKey() = default;

    void SetScale(const D3DXVECTOR3& scale);
    void SetRotation(const D3DXQUATERNION& rotation);
    void SetTranslation(const D3DXVECTOR3& translation);
    void SetOpacity(float opacity);
    void SetDiffuseColor(const D3DXVECTOR3& color);
    void SetAnimationFrame(int frame);
    void SetVertexData(const std::vector<float>& data);

    KeyType GetType() const { return static_cast<KeyType>(_flags); }
    const D3DXVECTOR3& GetScale() const { return _value.scale; }
    const D3DXVECTOR3& GetTranslation() const { return _value.translation; }
    const D3DXQUATERNION& GetRotation() const { return _value.rotation; }
    float GetOpacity() const { return _value.opacity; }
    const D3DXVECTOR3& GetDiffuseColor() const { return _value.diffuseColor; }
    int GetAnimationFrame() const { return _value.frame; }
    const std::vector<float>& GetVertexData() const { return _value.vertexData; }

    // Zeroes every value (scale included) and makes the rotation the identity;
    // the flags and the vertex data stay.
    void Reset();

    // Blends this key towards `next` by f (clamped to [0, 1]). Only the channels
    // flagged in this key are written into `out`; the others keep what the caller
    // put there.
    void Interpolate(const AnimationKey& next, float f, KeyValue& out) const;

private:
    uint32_t _flags = 0;
    KeyValue _value;
};

}  // namespace EngineCore
