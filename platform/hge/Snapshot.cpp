// Screen pictures: the snapshot file and the read-back test hook.
#include <algorithm>

#include "platform/hge/BmpWriter.h"
#include "platform/hge/Engine.h"

namespace hgeplatform {

bool Engine::Test_ReadPixels(HTARGET target, DWORD* out) {
    if (!OnGlThread() || !out) return false;
    renderer_.Flush();
    GLuint framebuffer = lastFrameInWindow_ ? 0 : sceneFramebuffer_;
    for (const Scene& s : scenes_)
        if (s.target == 0) framebuffer = s.framebuffer;  // the frame being drawn
    int width = width_, height = height_;
    if (target && !textures_.TargetFramebuffer(target, &framebuffer, &width, &height)) {
        if (!scenes_.empty()) BindScene(scenes_.back());
        return false;
    }
    // Without a finish llvmpipe has been seen to hand back the previous frame here.
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, out);
    // Targets keep the picture's top row in GL row 0; the screen scene (and the window)
    // keeps its bottom row there.
    if (!target)
        for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(out + size_t(top) * size_t(width), out + size_t(top + 1) * size_t(width),
                             out + size_t(bottom) * size_t(width));
    if (!scenes_.empty())
        BindScene(scenes_.back());
    else
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

void Engine::System_Snapshot(const char* path) {
    if (!path || !OnGlThread()) return;
    std::vector<uint32_t> pixels(size_t(width_) * size_t(height_));
    if (!Test_ReadPixels(0, pixels.data())) return;
    // The picture on screen is opaque whatever alpha the scene holds.
    WriteBmp24(path, pixels.data(), width_, height_);
}

}  // namespace hgeplatform
