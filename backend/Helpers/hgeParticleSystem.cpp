#include "backend/Helpers/hgeParticleSystem.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "backend/Helpers/hgeSprite.h"

namespace MobrixCore {

namespace {

const float kHalfPi = 1.57079632679489661923f;

uint32_t ReadU32(const unsigned char* at)
{
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

float ReadF32(const unsigned char* data, size_t offset)
{
    const uint32_t bits = ReadU32(data + offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A colour channel in 0..1 as a byte, rounded; out-of-range and NaN values clamp.
uint32_t ChannelByte(float value)
{
    const float scaled = value * 255.0f;
    if (!(scaled > 0.0f))
        return 0;
    if (scaled >= 255.0f)
        return 255;
    return static_cast<uint32_t>(std::lrint(scaled));
}

}  // namespace

bool ReadParticleSystemInfo(const unsigned char* data, size_t size, hgeParticleSystemInfo& info)
{
    if (!data || size != kParticleSystemInfoSize)
        return false;
    hgeParticleSystemInfo out;
    out.emission = static_cast<int32_t>(ReadU32(data + 4));
    out.lifetime = ReadF32(data, 8);
    out.particleLifeMin = ReadF32(data, 12);
    out.particleLifeMax = ReadF32(data, 16);
    out.direction = ReadF32(data, 20);
    out.spread = ReadF32(data, 24);
    out.relative = data[28] != 0;
    out.speedMin = ReadF32(data, 32);
    out.speedMax = ReadF32(data, 36);
    out.gravityMin = ReadF32(data, 40);
    out.gravityMax = ReadF32(data, 44);
    out.radialAccelMin = ReadF32(data, 48);
    out.radialAccelMax = ReadF32(data, 52);
    out.tangentialAccelMin = ReadF32(data, 56);
    out.tangentialAccelMax = ReadF32(data, 60);
    out.sizeStart = ReadF32(data, 64);
    out.sizeEnd = ReadF32(data, 68);
    out.sizeVar = ReadF32(data, 72);
    out.spinStart = ReadF32(data, 76);
    out.spinEnd = ReadF32(data, 80);
    out.spinVar = ReadF32(data, 84);
    for (int c = 0; c < 4; ++c) {
        out.colorStart[c] = ReadF32(data, 88 + 4 * static_cast<size_t>(c));
        out.colorEnd[c] = ReadF32(data, 104 + 4 * static_cast<size_t>(c));
    }
    out.colorVar = ReadF32(data, 120);
    out.alphaVar = ReadF32(data, 124);
    info = out;
    return true;
}

hgeParticleSystem::hgeParticleSystem(const hgeParticleSystemInfo& description)
    : info(description), _hge(hgeCreate(HGE_VERSION))
{
}

hgeParticleSystem::~hgeParticleSystem()
{
    if (_hge)
        _hge->Release();
}

float hgeParticleSystem::Random(float min, float max) const
{
    return _hge ? _hge->Random_Float(min, max) : min;
}

void hgeParticleSystem::Fire()
{
    _age = info.lifetime == kEndless ? kEndless : 0.0f;
}

void hgeParticleSystem::Stop(bool killParticles)
{
    _age = kStopped;
    if (killParticles)
        _alive = 0;
}

void hgeParticleSystem::FireAt(float x, float y)
{
    Stop();
    MoveTo(x, y);
    Fire();
}

void hgeParticleSystem::MoveTo(float x, float y, bool moveParticles)
{
    if (moveParticles) {
        const float dx = x - _location.x;
        const float dy = y - _location.y;
        for (int i = 0; i < _alive; ++i) {
            _particles[i].location.x += dx;
            _particles[i].location.y += dy;
        }
        _previousLocation.x += dx;
        _previousLocation.y += dy;
    } else if (_age == kStopped) {
        _previousLocation = hgeVector(x, y);
    } else {
        _previousLocation = _location;
    }
    _location = hgeVector(x, y);
}

void hgeParticleSystem::Update(float dt)
{
    if (_age >= 0.0f) {
        _age += dt;
        if (_age >= info.lifetime)
            _age = kStopped;
    }

    for (int i = 0; i < _alive;) {
        hgeParticle& p = _particles[i];
        p.age += dt;
        if (p.age >= p.terminalAge) {
            // The last live particle takes the slot, which is then processed again.
            --_alive;
            p = _particles[_alive];
            continue;
        }
        hgeVector n(p.location.x - _location.x, p.location.y - _location.y);
        n.Normalize();
        p.velocity.x += dt * (p.radialAccel * n.x - p.tangentialAccel * n.y);
        p.velocity.y += dt * (p.radialAccel * n.y + p.tangentialAccel * n.x);
        p.velocity.y += p.gravity * dt;
        p.location.x += p.velocity.x * dt;
        p.location.y += p.velocity.y * dt;
        p.spin += p.spinDelta * dt;
        p.size += p.sizeDelta * dt;
        for (int c = 0; c < 4; ++c)
            p.color[c] += p.colorDelta[c] * dt;
        ++i;
    }

    if (_age != kStopped) {
        const float needed = static_cast<float>(info.emission) * dt + _emissionResidue;
        // Ties go to the even neighbour (the default rounding mode), so the residue may be negative.
        const float created = std::nearbyint(needed);
        if (std::isfinite(needed)) {
            _emissionResidue = needed - created;
        } else {
            _emissionResidue = 0.0f;
        }
        // Never more than the block holds, however large the content's rate.
        float left = std::isfinite(created) ? created : 0.0f;
        while (left >= 1.0f && _alive < kMaxParticles) {
            Emit();
            left -= 1.0f;
        }
    }
    _previousLocation = _location;
}

void hgeParticleSystem::Emit()
{
    hgeParticle& p = _particles[_alive];
    ++_alive;
    p.age = 0.0f;
    p.terminalAge = Random(info.particleLifeMin, info.particleLifeMax);

    const float along = Random(0.0f, 1.0f);
    p.location.x = _previousLocation.x + (_location.x - _previousLocation.x) * along;
    p.location.y = _previousLocation.y + (_location.y - _previousLocation.y) * along;
    p.location.x += Random(-2.0f, 2.0f);
    p.location.y += Random(-2.0f, 2.0f);

    float angle = info.direction - kHalfPi + Random(0.0f, info.spread) - info.spread / 2.0f;
    if (info.relative) {
        const hgeVector motion(_previousLocation.x - _location.x, _previousLocation.y - _location.y);
        angle += motion.Angle() + kHalfPi;
    }
    const float speed = Random(info.speedMin, info.speedMax);
    p.velocity.x = std::cos(angle) * speed;
    p.velocity.y = std::sin(angle) * speed;

    p.gravity = Random(info.gravityMin, info.gravityMax);
    p.radialAccel = Random(info.radialAccelMin, info.radialAccelMax);
    p.tangentialAccel = Random(info.tangentialAccelMin, info.tangentialAccelMax);

    p.size = Random(info.sizeStart, info.sizeStart + (info.sizeEnd - info.sizeStart) * info.sizeVar);
    p.sizeDelta = (info.sizeEnd - p.size) / p.terminalAge;
    p.spin = Random(info.spinStart, info.spinStart + (info.spinEnd - info.spinStart) * info.spinVar);
    p.spinDelta = (info.spinEnd - p.spin) / p.terminalAge;

    for (int c = 0; c < 4; ++c) {
        const float variation = c == 3 ? info.alphaVar : info.colorVar;
        p.color[c] = Random(info.colorStart[c], info.colorStart[c] + (info.colorEnd[c] - info.colorStart[c]) * variation);
        p.colorDelta[c] = (info.colorEnd[c] - p.color[c]) / p.terminalAge;
    }
}

void hgeParticleSystem::Render(hgeSprite& sprite) const
{
    const uint32_t spriteColour = sprite.GetColor(0);
    const bool keepSpriteColour = info.colorStart[0] < 0.0f;
    for (int i = 0; i < _alive; ++i) {
        const hgeParticle& p = _particles[i];
        const uint32_t alpha = ChannelByte(p.color[3]) << 24;
        if (keepSpriteColour) {
            sprite.SetColor((spriteColour & 0x00FFFFFFu) | alpha);
        } else {
            sprite.SetColor(alpha | ChannelByte(p.color[0]) << 16 | ChannelByte(p.color[1]) << 8 |
                            ChannelByte(p.color[2]));
        }
        sprite.RenderEx(p.location.x, p.location.y, p.spin * p.age, p.size, 0.0f);
    }
    sprite.SetColor(spriteColour);
}

}  // namespace MobrixCore
