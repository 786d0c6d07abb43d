#pragma once
// Textures and render targets. Every texture keeps a CPU copy (top row first, pitch =
// width) that locks hand out (a target's taken picture only once it is first locked); its OpenGL copy is made and refreshed on the GL thread only,
// before the texture is drawn. Calls from other threads defer their GL work (uploads,
// deletions) to ProcessPending on the GL thread. One mutex guards both tables.
// A region locked for writing becomes dirty at Unlock, and a texture with such a
// lock is not uploaded until then: the owner of the lock writes its texels without
// the mutex, so nothing else may read them meanwhile.
#include <epoxy/gl.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/hge/SlotTable.h"

namespace hgeplatform {

class TextureStore {
public:
    static constexpr int kMaxSide = 16384;
    // Internal format of every picture made with GL_BGRA / GL_UNSIGNED_BYTE texels. Left
    // unsized, Mesa stores the picture as B8G8R8A8 like the texels (8 bits a channel, as
    // RGBA8), and llvmpipe fills rectangles quickly only into framebuffers of that layout.
    static constexpr GLint kPictureFormat = GL_RGBA;

    TextureStore();
    ~TextureStore();
    TextureStore(const TextureStore&) = delete;
    TextureStore& operator=(const TextureStore&) = delete;

    // `pixels` holds width x height texels (ARGB, top row first).
    uint32_t Create(int width, int height, std::vector<uint32_t>&& pixels);
    void Free(uint32_t texture, bool onGlThread);
    bool Size(uint32_t texture, int* width, int* height);
    uint32_t* Lock(uint32_t texture, bool readOnly, int x, int y, int width, int height,
                   bool onGlThread);
    void Unlock(uint32_t texture, bool onGlThread);
    // GL thread: the texture's GL name, made and refreshed as needed; 0 when the handle
    // is stale. Without the mutex while nothing changed since the texture's last Bind.
    GLuint Bind(uint32_t texture) {
        const Bound& b = bound_[texture % kBoundSlots];
        if (b.handle == texture && boundChanges_ == changes_.load(std::memory_order_acquire)) return b.gl;
        return BindLocked(texture);
    }
    // Grows whenever a handle goes stale or a GL copy falls behind its texels: a GL name
    // that Bind gave back is still current while this keeps the value read before Bind.
    uint32_t Changes() const { return changes_.load(std::memory_order_acquire); }

    uint32_t CreateTarget(int width, int height);
    void FreeTarget(uint32_t target, bool onGlThread);
    // GL thread: the target's framebuffer, made as needed; false when the handle is stale
    // or the framebuffer cannot be made.
    bool TargetFramebuffer(uint32_t target, GLuint* framebuffer, int* width, int* height);
    uint32_t TakeTexture(uint32_t target);

    // GL thread: deferred deletions and uploads.
    void ProcessPending();
    // GL thread, before the context goes: deletes every GL object; the CPU copies stay,
    // GL copies are made again if a context comes back.
    void ReleaseGl();
    // Forgets everything (after shutdown). No GL calls.
    void Clear();

private:
    struct Rect {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // empty when x0 >= x1
        bool Empty() const { return x0 >= x1 || y0 >= y1; }
        void Add(int ax, int ay, int bx, int by);
    };
    struct Texture {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;  // empty until first read while gpuNewer
        GLuint gl = 0;
        Rect dirty;             // CPU texels the GL copy lacks
        Rect writing;           // texels locked for writing: dirty only once unlocked
        bool gpuNewer = false;  // the GL copy was drawn into (a taken target picture)
    };
    struct Target {
        int width = 0, height = 0;
        GLuint framebuffer = 0;
        GLuint texture = 0;
    };

    // A GL name that Bind gave back, current while changes_ == boundChanges_.
    struct Bound {
        uint32_t handle = 0;
        GLuint gl = 0;
    };
    static constexpr uint32_t kBoundSlots = 64;

    GLuint BindLocked(uint32_t texture);
    void Changed() { changes_.fetch_add(1, std::memory_order_release); }
    static GLuint MakeGlTexture(int width, int height, const uint32_t* pixels);
    static void Upload(const Texture& t, const Rect& r);
    static void ReadBack(Texture& t);
    void Delete(GLuint texture, GLuint framebuffer, bool onGlThread);

    std::mutex mutex_;
    SlotTable<Texture> textures_;
    SlotTable<Target> targets_;
    std::vector<uint32_t> pendingUploads_;
    std::vector<GLuint> deadTextures_;
    std::vector<GLuint> deadFramebuffers_;
    // Bumped under the mutex, read on the GL thread without it.
    std::atomic<uint32_t> changes_{0};
    // GL thread only.
    Bound bound_[kBoundSlots];
    uint32_t boundChanges_ = 0;
};

}  // namespace hgeplatform
