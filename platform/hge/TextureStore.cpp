#include "platform/hge/TextureStore.h"

#include <algorithm>

namespace hgeplatform {

namespace {
constexpr uint32_t kTextureKind = 0;
constexpr uint32_t kTargetKind = 0x80000000u;

bool ValidSize(int width, int height) {
    return width > 0 && height > 0 && width <= TextureStore::kMaxSide && height <= TextureStore::kMaxSide;
}
}  // namespace

void TextureStore::Rect::Add(int ax, int ay, int bx, int by) {
    if (Empty()) {
        x0 = ax, y0 = ay, x1 = bx, y1 = by;
        return;
    }
    x0 = std::min(x0, ax);
    y0 = std::min(y0, ay);
    x1 = std::max(x1, bx);
    y1 = std::max(y1, by);
}

TextureStore::TextureStore() : textures_(kTextureKind), targets_(kTargetKind) {}

TextureStore::~TextureStore() = default;

GLuint TextureStore::MakeGlTexture(int width, int height, const uint32_t* pixels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, kPictureFormat, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    return name;
}

void TextureStore::Upload(const Texture& t, const Rect& r) {
    glBindTexture(GL_TEXTURE_2D, t.gl);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, t.width);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, r.x0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, r.y0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0, GL_BGRA, GL_UNSIGNED_BYTE,
                    t.pixels.data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

void TextureStore::ReadBack(Texture& t) {
    glFinish();  // see Test_ReadPixels: read-backs must wait for the drawing
    t.pixels.resize(size_t(t.width) * size_t(t.height));
    glBindTexture(GL_TEXTURE_2D, t.gl);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, t.pixels.data());
    t.gpuNewer = false;
}

void TextureStore::Delete(GLuint texture, GLuint framebuffer, bool onGlThread) {
    if (onGlThread) {
        if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
        if (texture) glDeleteTextures(1, &texture);
        return;
    }
    if (texture) deadTextures_.push_back(texture);
    if (framebuffer) deadFramebuffers_.push_back(framebuffer);
}

uint32_t TextureStore::Create(int width, int height, std::vector<uint32_t>&& pixels) {
    if (!ValidSize(width, height) || pixels.size() != size_t(width) * size_t(height)) return 0;
    Texture t;
    t.width = width;
    t.height = height;
    t.pixels = std::move(pixels);
    std::lock_guard<std::mutex> lock(mutex_);
    return textures_.Add(std::move(t));
}

void TextureStore::Free(uint32_t texture, bool onGlThread) {
    std::lock_guard<std::mutex> lock(mutex_);
    Texture* t = textures_.Find(texture);
    if (!t) return;
    Delete(t->gl, 0, onGlThread);
    textures_.Remove(texture);
    Changed();
}

bool TextureStore::Size(uint32_t texture, int* width, int* height) {
    std::lock_guard<std::mutex> lock(mutex_);
    Texture* t = textures_.Find(texture);
    if (!t) return false;
    if (width) *width = t->width;
    if (height) *height = t->height;
    return true;
}

uint32_t* TextureStore::Lock(uint32_t texture, bool readOnly, int x, int y, int width, int height,
                             bool onGlThread) {
    std::lock_guard<std::mutex> lock(mutex_);
    Texture* t = textures_.Find(texture);
    if (!t) return nullptr;
    if (x < 0 || y < 0 || x >= t->width || y >= t->height || width < 0 || height < 0) return nullptr;
    if (width == 0) width = t->width - x;
    if (height == 0) height = t->height - y;
    if (width > t->width - x || height > t->height - y) return nullptr;
    if (t->gpuNewer) {
        // A drawn-into picture lives in GL; only the GL thread can fetch it.
        if (!onGlThread) return nullptr;
        ReadBack(*t);
    }
    if (!readOnly) t->writing.Add(x, y, x + width, y + height);
    return t->pixels.data() + size_t(y) * size_t(t->width) + size_t(x);
}

void TextureStore::Unlock(uint32_t texture, bool onGlThread) {
    std::lock_guard<std::mutex> lock(mutex_);
    Texture* t = textures_.Find(texture);
    if (!t) return;
    if (!t->writing.Empty()) {
        t->dirty.Add(t->writing.x0, t->writing.y0, t->writing.x1, t->writing.y1);
        t->writing = Rect();
    }
    if (t->dirty.Empty() || !t->gl) return;  // no GL copy yet: made whole when drawn
    if (!onGlThread) {
        pendingUploads_.push_back(texture);
        Changed();
        return;
    }
    Upload(*t, t->dirty);
    t->dirty = Rect();
}

GLuint TextureStore::BindLocked(uint32_t texture) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Read under the mutex, which every change holds: the names remembered below are
    // current as of this value.
    const uint32_t changes = changes_.load(std::memory_order_relaxed);
    if (changes != boundChanges_) {
        for (Bound& b : bound_) b = Bound();
        boundChanges_ = changes;
    }
    Texture* t = textures_.Find(texture);
    if (!t) return 0;
    if (!t->writing.Empty()) {
        // Being written: the GL copy keeps what it had (a first one is made blank and
        // filled at Unlock).
        if (!t->gl) {
            t->gl = MakeGlTexture(t->width, t->height, nullptr);
            t->dirty = Rect();
            t->dirty.Add(0, 0, t->width, t->height);
        }
    } else if (!t->gl) {
        t->gl = MakeGlTexture(t->width, t->height, t->pixels.data());
        t->dirty = Rect();
    } else if (!t->dirty.Empty()) {
        Upload(*t, t->dirty);
        t->dirty = Rect();
    }
    bound_[texture % kBoundSlots] = Bound{texture, t->gl};
    return t->gl;
}

uint32_t TextureStore::CreateTarget(int width, int height) {
    if (!ValidSize(width, height)) return 0;
    Target t;
    t.width = width;
    t.height = height;
    std::lock_guard<std::mutex> lock(mutex_);
    return targets_.Add(t);
}

void TextureStore::FreeTarget(uint32_t target, bool onGlThread) {
    std::lock_guard<std::mutex> lock(mutex_);
    Target* t = targets_.Find(target);
    if (!t) return;
    Delete(t->texture, t->framebuffer, onGlThread);
    targets_.Remove(target);
}

bool TextureStore::TargetFramebuffer(uint32_t target, GLuint* framebuffer, int* width, int* height) {
    std::lock_guard<std::mutex> lock(mutex_);
    Target* t = targets_.Find(target);
    if (!t) return false;
    if (!t->framebuffer) glGenFramebuffers(1, &t->framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, t->framebuffer);
    if (!t->texture) {
        const std::vector<uint32_t> blank(size_t(t->width) * size_t(t->height), 0u);
        t->texture = MakeGlTexture(t->width, t->height, blank.data());
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t->texture, 0);
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    *framebuffer = t->framebuffer;
    *width = t->width;
    *height = t->height;
    return true;
}

uint32_t TextureStore::TakeTexture(uint32_t target) {
    std::lock_guard<std::mutex> lock(mutex_);
    Target* t = targets_.Find(target);
    if (!t) return 0;
    Texture tex;
    tex.width = t->width;
    tex.height = t->height;
    // A drawn picture gets its CPU copy when first locked; a target never drawn into is blank.
    if (!t->texture) tex.pixels.assign(size_t(t->width) * size_t(t->height), 0u);
    tex.gl = t->texture;
    tex.gpuNewer = t->texture != 0;
    // The framebuffer keeps the taken picture attached until it draws again; then it gets
    // a new one (TargetFramebuffer attaches a fresh texture).
    t->texture = 0;
    return textures_.Add(std::move(tex));
}

void TextureStore::ProcessPending() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!deadFramebuffers_.empty())
        glDeleteFramebuffers(GLsizei(deadFramebuffers_.size()), deadFramebuffers_.data());
    if (!deadTextures_.empty()) glDeleteTextures(GLsizei(deadTextures_.size()), deadTextures_.data());
    deadFramebuffers_.clear();
    deadTextures_.clear();
    for (uint32_t handle : pendingUploads_) {
        Texture* t = textures_.Find(handle);
        if (!t || !t->gl || t->dirty.Empty() || !t->writing.Empty()) continue;
        Upload(*t, t->dirty);
        t->dirty = Rect();
    }
    pendingUploads_.clear();
}

void TextureStore::ReleaseGl() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (GLuint f : deadFramebuffers_) glDeleteFramebuffers(1, &f);
    for (GLuint t : deadTextures_) glDeleteTextures(1, &t);
    deadFramebuffers_.clear();
    deadTextures_.clear();
    pendingUploads_.clear();
    Changed();
    textures_.ForEach([](Texture& t) {
        if (t.gl && t.gpuNewer) ReadBack(t);
        if (t.gl) glDeleteTextures(1, &t.gl);
        t.gl = 0;
        t.dirty = Rect();
    });
    targets_.ForEach([](Target& t) {
        if (t.framebuffer) glDeleteFramebuffers(1, &t.framebuffer);
        if (t.texture) glDeleteTextures(1, &t.texture);
        t.framebuffer = t.texture = 0;
    });
}

void TextureStore::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    Changed();
    textures_.Clear();
    targets_.Clear();
    pendingUploads_.clear();
    deadTextures_.clear();
    deadFramebuffers_.clear();
}

}  // namespace hgeplatform
