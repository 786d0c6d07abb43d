// Textures and render targets.
#include "platform/hge/Engine.h"
#include "platform/hge/ImageDecoder.h"

namespace hgeplatform {

HTEXTURE Engine::Texture_Create(int width, int height) {
    if (Shut() || width <= 0 || height <= 0 || width > TextureStore::kMaxSide || height > TextureStore::kMaxSide)
        return 0;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), 0u);
    return textures_.Create(width, height, std::move(pixels));
}

HTEXTURE Engine::Texture_Load(const void* data, DWORD size, bool) {
    if (Shut()) return 0;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    if (!DecodeImage(data, size, TextureStore::kMaxSide, &width, &height, &pixels)) return 0;
    return textures_.Create(width, height, std::move(pixels));
}

void Engine::Texture_Free(HTEXTURE tex) {
    if (Shut() || !tex) return;
    const bool gl = OnGlThread();
    if (gl) FlushIfUses(tex);
    textures_.Free(tex, gl);
}

int Engine::Texture_GetWidth(HTEXTURE tex, bool) {
    int w = 0;
    return textures_.Size(tex, &w, nullptr) ? w : 0;
}

int Engine::Texture_GetHeight(HTEXTURE tex, bool) {
    int h = 0;
    return textures_.Size(tex, nullptr, &h) ? h : 0;
}

DWORD* Engine::Texture_Lock(HTEXTURE tex, bool readOnly, int x, int y, int width, int height) {
    if (Shut() || !tex) return nullptr;
    const bool gl = OnGlThread();
    // Queued quads must see the texels they were drawn with.
    if (gl && !readOnly) FlushIfUses(tex);
    return textures_.Lock(tex, readOnly, x, y, width, height, gl);
}

void Engine::Texture_Unlock(HTEXTURE tex) {
    if (Shut() || !tex) return;
    const bool gl = OnGlThread();
    if (gl) FlushIfUses(tex);
    textures_.Unlock(tex, gl);
}

HTARGET Engine::Target_Create(int width, int height, bool, int) {
    if (Shut()) return 0;
    return textures_.CreateTarget(width, height);
}

void Engine::Target_Free(HTARGET target) {
    if (Shut() || !target) return;
    bool gl = OnGlThread();
    // A target still open as a scene keeps its framebuffer until the GL work deferred
    // to the scene's end.
    if (gl)
        for (const Scene& s : scenes_)
            if (s.target == target) gl = false;
    textures_.FreeTarget(target, gl);
}

HTEXTURE Engine::Target_TakeTexture(HTARGET target) {
    if (Shut() || !target) return 0;
    if (OnGlThread()) {
        for (const Scene& s : scenes_)
            if (s.target == target) renderer_.Flush();
    }
    return textures_.TakeTexture(target);
}

}  // namespace hgeplatform
