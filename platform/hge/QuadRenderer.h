#pragma once
// The batched quad renderer: quads collect in a CPU buffer and go to GL in one upload per
// run of quads that share texture and blend mode, drawn in one call or, on the software
// rasteriser, kQuadsPerDraw at a time. GL thread only.
//
// The renderer owns the GL program, vertex array, array buffer and blend state: nothing
// else in the layer touches them, so within a scene a flush sets only what differs from
// the previous one. Texture bindings are shared with the texture store's uploads, so every flush binds
// its texture (GL skips the rebinding of the bound one). Batches go into one vertex buffer
// at a moving offset; the buffer is given fresh storage only when the offset reaches its end.
#include <epoxy/gl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/hge/hge.h"

namespace hgeplatform {

// Maps picture coordinates (origin top left, y down) to clip space; the affine part is the
// game's transform.
struct Projection {
    float rowX[3] = {1, 0, 0};
    float rowY[3] = {0, 1, 0};
};

// Picture coordinates of a w x h framebuffer after the transform
// x' = R(rot) S(hscale, vscale) (p - c) + c + d. GL row 0 holds the picture's top row,
// or its bottom row when `bottomUp`.
Projection MakeProjection(int width, int height, float cx, float cy, float dx, float dy, float rot,
                          float hscale, float vscale, bool bottomUp = false);

class QuadRenderer {
public:
    static constexpr int kMaxQuads = 65536;  // one upload for 50,000 sprites; 32-bit indices
    // Quads per draw call on Mesa's software rasteriser (llvmpipe), which draws the
    // axis-aligned quads of a small indexed draw (up to about a thousand indices) as
    // rectangles, a third cheaper than as two triangles each, with the same pixels; larger
    // draws lose that. There hundreds of draws a frame cost nothing next to the pixels; on
    // a GPU they are pure overhead, so every other renderer draws a batch in one call.
    static constexpr int kQuadsPerDraw = 128;
    // The split for the GL_RENDERER string `renderer` (null when unknown).
    static int QuadsPerDrawFor(const char* renderer);

    bool Init();
    void Shutdown();
    GLuint WhiteTexture() const { return white_; }

    // Draws what is queued. Keeps the texture and blend mode.
    void Flush();
    // Sets the GL state the flushes keep (vertex array, array buffer, blending) again and
    // forgets the rest, for GL code that ran in between (at each scene's start).
    void ForgetState();
    // Drops what is queued.
    void Discard() {
        count_ = 0;
        anyColorAdd_ = false;
        anyTinted_ = false;
    }
    void SetState(GLuint texture, bool alphaBlend) {
        texture_ = texture;
        alphaBlend_ = alphaBlend;
    }
    void SetProjection(const Projection& p) {
        if (std::memcmp(&p, &projection_, sizeof(p)) == 0) return;
        projection_ = p;
        ++projectionSerial_;
    }
    int Queued() const { return count_; }

    void Append(const hgeQuad& q) {
        if (count_ == kMaxQuads) Flush();
        hgeVertex* v = vertices_.data() + size_t(count_) * 4;
        std::memcpy(v, q.v, sizeof(q.v));
        // z carries the colour mode to the shader: nothing here draws with depth.
        const bool add = (q.blend & BLEND_COLORADD) != 0;
        const float mode = add ? 1.0f : 0.0f;
        v[0].z = v[1].z = v[2].z = v[3].z = mode;
        anyColorAdd_ |= add;
        anyTinted_ |= (v[0].col & v[1].col & v[2].col & v[3].col) != 0xFFFFFFFFu;
        ++count_;
    }

private:
    struct Program {
        GLuint name = 0;
        GLint rowX = -1;
        GLint rowY = -1;
        uint32_t projectionSerial = 0;  // of the projection its uniforms hold
        bool Build(const char* vertexSource, const char* fragmentSource);
    };
    void Use(Program& program);
    // Copies what is queued into the vertex buffer; the first vertex's index in it.
    GLint Upload();
    static constexpr int kBufferVertices = kMaxQuads * 4;
    static constexpr GLsizeiptr kBufferBytes = GLsizeiptr(kBufferVertices) * GLsizeiptr(sizeof(hgeVertex));

    Program plain_;     // every quad of the batch multiplies by white
    Program multiply_;  // every quad of the batch multiplies
    Program mixed_;     // some quads add their colour
    GLuint vao_ = 0;
    GLuint vbo_ = 0;
    GLuint ibo_ = 0;
    GLuint white_ = 0;
    GLuint texture_ = 0;
    bool alphaBlend_ = true;
    Projection projection_;
    uint32_t projectionSerial_ = 1;
    // GL state as the last flush left it.
    GLuint usedProgram_ = 0;
    int blendState_ = -1;  // alphaBlend_ of the last flush, -1 before the first
    int vboUsed_ = 0;      // vertices of the buffer's storage already drawn from
    std::vector<hgeVertex> vertices_;
    int count_ = 0;
    int quadsPerDraw_ = kMaxQuads;
    bool anyColorAdd_ = false;
    bool anyTinted_ = false;
};

}  // namespace hgeplatform
