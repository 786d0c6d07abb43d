#include "engine/Animation/AnimationKey.h"

#include <cmath>

namespace EngineCore {

void AnimationKey::SetScale(const D3DXVECTOR3& scale)
{
    _value.scale = scale;
    _flags |= KT_SCALE;
}

void AnimationKey::SetRotation(const D3DXQUATERNION& rotation)
{
    _value.rotation = rotation;
    _flags |= KT_ROTATION;
}

void AnimationKey::SetTranslation(const D3DXVECTOR3& translation)
{
    _value.translation = translation;
    _flags |= KT_TRANSLATION;
}

void AnimationKey::SetOpacity(float opacity)
{
    _value.opacity = opacity;
    _flags |= KT_OPACITY;
}

void AnimationKey::SetDiffuseColor(const D3DXVECTOR3& color)
{
    _value.diffuseColor = color;
    _flags |= KT_DIFFUSE_COLOR;
}

void AnimationKey::SetAnimationFrame(int frame)
{
    _value.frame = frame;
    _flags |= KT_ANIMATION_FRAME;
}

void AnimationKey::SetVertexData(const std::vector<float>& data)
{
    _value.vertexData = data;
    _flags |= KT_VERTEX_DATA;
}

void AnimationKey::Reset()
{
    _value.scale = D3DXVECTOR3{0, 0, 0};
    _value.translation = D3DXVECTOR3{0, 0, 0};
    _value.rotation = D3DXQUATERNION{0, 0, 0, 1};
    _value.opacity = 0;
    _value.frame = 0;
    _value.diffuseColor = D3DXVECTOR3{0, 0, 0};
}

namespace {

float Lerp(float a, float b, float f)
{
    return a + f * (b - a);
}

D3DXVECTOR3 Lerp(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float f)
{
    return D3DXVECTOR3{Lerp(a.x, b.x, f), Lerp(a.y, b.y, f), Lerp(a.z, b.z, f)};
}

// Spherical blend; nearly parallel rotations blend linearly. The result is not
// normalised, so stored keys that are not unit quaternions keep their scale.
D3DXQUATERNION Slerp(const D3DXQUATERNION& a, const D3DXQUATERNION& b, float f)
{
    float c = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    float sign = 1.0f;
    if (c < 0) {
        sign = -1.0f;
        c = -c;
    }
    float k0;
    float k1;
    if (1.0f - c > 0.001f) {
        const float omega = std::acos(c);
        const float s = std::sin(omega);
        k0 = std::sin((1.0f - f) * omega) / s;
        k1 = std::sin(f * omega) / s;
    } else {
        k0 = 1.0f - f;
        k1 = f;
    }
    k1 *= sign;
    return D3DXQUATERNION{k0 * a.x + k1 * b.x, k0 * a.y + k1 * b.y, k0 * a.z + k1 * b.z,
                          k0 * a.w + k1 * b.w};
}

}  // namespace

void AnimationKey::Interpolate(const AnimationKey& next, float f, KeyValue& out) const
{
    if (!(f > 0.0f))
        f = 0.0f;  // NaN included
    else if (f > 1.0f)
        f = 1.0f;

    const KeyValue& a = _value;
    const KeyValue& b = next._value;
    if (_flags & KT_SCALE)
        out.scale = Lerp(a.scale, b.scale, f);
    if (_flags & KT_TRANSLATION)
        out.translation = Lerp(a.translation, b.translation, f);
    if (_flags & KT_ROTATION)
        out.rotation = Slerp(a.rotation, b.rotation, f);
    if (_flags & KT_OPACITY)
        out.opacity = Lerp(a.opacity, b.opacity, f);
    if (_flags & KT_DIFFUSE_COLOR)
        out.diffuseColor = Lerp(a.diffuseColor, b.diffuseColor, f);
    if (_flags & KT_ANIMATION_FRAME)
        out.frame = f >= 1.0f ? b.frame : a.frame;  // frames step, never blend
    if (_flags & KT_VERTEX_DATA) {
        const size_t count = a.vertexData.size();
        out.vertexData.resize(count);
        for (size_t i = 0; i < count; ++i) {
            // A later key with fewer floats holds the earlier values where it has none.
            const float target = i < b.vertexData.size() ? b.vertexData[i] : a.vertexData[i];
            out.vertexData[i] = Lerp(a.vertexData[i], target, f);
        }
    }
}

}  // namespace EngineCore
