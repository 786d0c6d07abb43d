// Scenes, quads and the display scale.
#include <cstring>

#include "platform/hge/Engine.h"

namespace hgeplatform {

namespace {
constexpr size_t kMaxSceneDepth = 8;
}  // namespace

void Engine::BindScene(const Scene& s) {
    glBindFramebuffer(GL_FRAMEBUFFER, s.framebuffer);
    glViewport(0, 0, s.width, s.height);
    const float* t = s.transform;
    renderer_.SetProjection(
        MakeProjection(s.width, s.height, t[0], t[1], t[2], t[3], t[4], t[5], t[6], s.target == 0));
}

bool Engine::Gfx_BeginScene(HTARGET target) {
    if (!OnGlThread() || scenes_.size() >= kMaxSceneDepth) return false;
    // Quads queued for the enclosing scene go to its framebuffer first.
    if (!scenes_.empty()) renderer_.Flush();
    Scene scene;
    scene.target = target;
    if (target == 0) {
        // One screen scene at a time; targets may open inside it.
        for (const Scene& s : scenes_)
            if (s.target == 0) return false;
        SwapIfPending(false);
        // Window framebuffer 0 when the picture goes to the window unscaled: no copy.
        scene.framebuffer = CanDrawStraightToWindow() ? 0 : sceneFramebuffer_;
        scene.width = width_;
        scene.height = height_;
    } else if (!textures_.TargetFramebuffer(target, &scene.framebuffer, &scene.width, &scene.height)) {
        if (!scenes_.empty()) BindScene(scenes_.back());
        return false;
    }
    textures_.ProcessPending();
    ResetBatch();
    renderer_.ForgetState();
    scenes_.push_back(scene);
    BindScene(scene);
    return true;
}

void Engine::Gfx_EndScene() {
    if (!OnGlThread() || scenes_.empty()) return;
    renderer_.Flush();
    ResetBatch();
    const Scene ended = scenes_.back();
    scenes_.pop_back();
    if (ended.target == 0) {
        if (ended.framebuffer == 0) {
            lastFrameInWindow_ = true;
            swapPending_ = !minimised_;
        } else {
            lastFrameInWindow_ = false;
            Present();
        }
        LimitFramesInFlight();
    }
    if (!scenes_.empty()) {
        BindScene(scenes_.back());
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        textures_.ProcessPending();
    }
}

void Engine::Gfx_Clear(DWORD color) {
    if (!OnGlThread() || scenes_.empty()) return;
    renderer_.Flush();
    glClearColor(float((color >> 16) & 0xFF) / 255.0f, float((color >> 8) & 0xFF) / 255.0f,
                 float(color & 0xFF) / 255.0f, float(color >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void Engine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (!quad || scenes_.empty() || std::this_thread::get_id() != glThread_) return;
    const int blend = quad->blend & BLEND_ALPHABLEND;
    // The batch's texture may have been freed (on any thread) or edited since the batch
    // began: then it is looked up again.
    if (!batchValid_ || quad->tex != batchTexture_ || blend != batchBlend_ ||
        (quad->tex && textures_.Changes() != batchChanges_)) {
        renderer_.Flush();
        const uint32_t changes = textures_.Changes();
        const GLuint gl = quad->tex ? textures_.Bind(quad->tex) : renderer_.WhiteTexture();
        // A stale texture handle draws nothing.
        if (!gl) {
            ResetBatch();
            return;
        }
        renderer_.SetState(gl, blend != 0);
        batchTexture_ = quad->tex;
        batchBlend_ = blend;
        batchChanges_ = changes;
        batchValid_ = true;
    }
    renderer_.Append(*quad);
}

void Engine::LimitFramesInFlight() {
    // The fence also hands the frame to the renderer now rather than when its queue fills.
    framesInFlight_.push_back(glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0));
    while (framesInFlight_.size() > kMaxFramesInFlight) {
        GLsync oldest = framesInFlight_.front();
        framesInFlight_.pop_front();
        if (oldest) {
            glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
            glDeleteSync(oldest);
        }
    }
}

void Engine::ForgetFramesInFlight() {
    for (GLsync fence : framesInFlight_)
        if (fence) glDeleteSync(fence);
    framesInFlight_.clear();
}

void Engine::FlushIfUses(HTEXTURE tex) {
    if (batchValid_ && batchTexture_ == tex) {
        renderer_.Flush();
        ResetBatch();
    }
}

void Engine::Gfx_SetTransform(float x, float y, float dx, float dy, float rot, float hscale, float vscale) {
    if (!OnGlThread() || scenes_.empty()) return;
    renderer_.Flush();
    const float t[7] = {x, y, dx, dy, rot, hscale, vscale};
    Scene& s = scenes_.back();
    std::memcpy(s.transform, t, sizeof(t));
    renderer_.SetProjection(MakeProjection(s.width, s.height, x, y, dx, dy, rot, hscale, vscale, s.target == 0));
}

bool Engine::Gfx_GetStretch() { return stretch_; }

void Engine::Gfx_SetStretch(bool stretch) {
    if (stretch_ == stretch) return;
    stretch_ = stretch;
    if (Running()) {
        UpdateMapping();
        gfxRestorePending_ = true;
    }
}

float Engine::Gfx_GetVerticalScale() { return mapping_.vscale; }
float Engine::Gfx_GetVerticalOffset() { return mapping_.voffset; }
float Engine::Gfx_GetHorizontalScale() { return mapping_.hscale; }
float Engine::Gfx_GetHorizontalOffset() { return mapping_.hoffset; }

}  // namespace hgeplatform
