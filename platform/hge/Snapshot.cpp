// Screen pictures: the snapshot file and the read-back test hook.
#include "platform/hge/BmpWriter.h"
#include "platform/hge/Engine.h"

namespace hgeplatform {

bool Engine::Test_ReadPixels(HTARGET target, DWORD* out) {
    if (!OnGlThread() || !out) return false;
    renderer_.Flush();
    GLuint framebuffer = sceneFramebuffer_;
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
    // GL row 0 holds the picture's top row: rows come out top first.
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, out);
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
