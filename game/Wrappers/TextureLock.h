#pragma once
// A texture lock held for one scope: released on every way out, errors included, so
// that a failed script call never leaves a texture locked for the next one.

#include <cstdint>

#include "engine/Renderer/Texture.h"

namespace GameCore {

class TextureLock {
public:
    // Locks (x, y, width, height); Pixels() is null when the texture refused. The
    // pointer addresses texel (x, y); rows lie GetWidth() texels apart. Only a lock
    // for writing makes the texture upload its texels again.
    TextureLock(EngineCore::Texture& texture, unsigned x, unsigned y, unsigned width, unsigned height,
                bool readOnly)
        : _texture(texture)
    {
        uint32_t* pixels = nullptr;
        _locked = texture.Lock(x, y, width, height, readOnly, pixels);
        _pixels = _locked ? pixels : nullptr;
    }
    ~TextureLock()
    {
        if (_locked)
            _texture.Unlock();
    }
    TextureLock(const TextureLock&) = delete;
    TextureLock& operator=(const TextureLock&) = delete;

    uint32_t* Pixels() const { return _pixels; }

private:
    EngineCore::Texture& _texture;
    uint32_t* _pixels = nullptr;
    bool _locked = false;
};

}  // namespace GameCore
