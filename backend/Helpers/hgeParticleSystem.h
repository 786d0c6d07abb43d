#pragma once
// A particle emitter: a 128-byte description (rates, lifetimes, motion, size, spin and
// colour ranges) and room for a fixed number of live particles kept packed at the front
// of one block, so that nothing is allocated per particle or per frame.

#include <cstddef>

#include "backend/Helpers/hgeVector.h"
#include "platform/hge/hge.h"

namespace MobrixCore {

class hgeSprite;

// The description as stored, field by field. The first 4 bytes of the file are not
// kept: they held a pointer where the file was made, which means nothing here.
struct hgeParticleSystemInfo {
    int emission = 0;  // particles per second
    float lifetime = 0.0f;  // seconds; -1 = endless
    float particleLifeMin = 0.0f;
    float particleLifeMax = 0.0f;
    float direction = 0.0f;  // radians; 0 points up the screen, pi/2 to the right
    float spread = 0.0f;
    bool relative = false;  // the direction turns with the emitter's motion
    float speedMin = 0.0f;
    float speedMax = 0.0f;
    float gravityMin = 0.0f;
    float gravityMax = 0.0f;
    float radialAccelMin = 0.0f;
    float radialAccelMax = 0.0f;
    float tangentialAccelMin = 0.0f;
    float tangentialAccelMax = 0.0f;
    float sizeStart = 0.0f;
    float sizeEnd = 0.0f;
    float sizeVar = 0.0f;
    float spinStart = 0.0f;
    float spinEnd = 0.0f;
    float spinVar = 0.0f;
    float colorStart[4] = {0, 0, 0, 0};  // r, g, b, a; r < 0 keeps the sprite's colour
    float colorEnd[4] = {0, 0, 0, 0};
    float colorVar = 0.0f;
    float alphaVar = 0.0f;
};

const size_t kParticleSystemInfoSize = 128;

// Reads a description of exactly kParticleSystemInfoSize little-endian bytes; false
// for any other size, with `info` untouched.
bool ReadParticleSystemInfo(const unsigned char* data, size_t size, hgeParticleSystemInfo& info);

struct hgeParticle {
    hgeVector location;
    hgeVector velocity;
    float gravity;
    float radialAccel;
    float tangentialAccel;
    float spin;
    float spinDelta;
    float size;
    float sizeDelta;
    float color[4];  // r, g, b, a
    float colorDelta[4];
    float age;
    float terminalAge;
};

class hgeParticleSystem {
public:
    static constexpr int kMaxParticles = 500;
    // Emitter ages below 0: endless, and stopped.
    static constexpr float kEndless = -1.0f;
    static constexpr float kStopped = -2.0f;

    // Stopped at (0, 0) with no particles.
    explicit hgeParticleSystem(const hgeParticleSystemInfo& description);
    ~hgeParticleSystem();
    hgeParticleSystem(const hgeParticleSystem&) = delete;
    hgeParticleSystem& operator=(const hgeParticleSystem&) = delete;

    void Fire();
    // Stops without killing, moves there without a trail, fires.
    void FireAt(float x, float y);
    void Stop(bool killParticles = false);
    void MoveTo(float x, float y, bool moveParticles = false);
    void Update(float dt);
    // Draws every particle with the sprite, whose colour is left as it was found.
    void Render(hgeSprite& sprite) const;

    int GetParticlesAlive() const { return _alive; }
    const hgeParticle& GetParticle(int index) const { return _particles[index]; }
    float GetAge() const { return _age; }
    float GetEmissionResidue() const { return _emissionResidue; }
    void GetPosition(float& x, float& y) const
    {
        x = _location.x;
        y = _location.y;
    }

    hgeParticleSystemInfo info;

private:
    float Random(float min, float max) const;
    void Emit();

    HGE* _hge;
    float _age = kStopped;
    float _emissionResidue = 0.0f;
    hgeVector _previousLocation;
    hgeVector _location;
    int _alive = 0;
    hgeParticle _particles[kMaxParticles];
};

}  // namespace MobrixCore
