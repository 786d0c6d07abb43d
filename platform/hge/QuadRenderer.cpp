#include "platform/hge/QuadRenderer.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace hgeplatform {

namespace {

// Batches without colour-add quads (nearly all) use this plain one.
const char* const kMultiplyVertexShader = R"(#version 330 core
layout(location = 0) in vec2 aPos;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aUv;
uniform vec3 uRowX;
uniform vec3 uRowY;
out vec4 vColor;
out vec2 vUv;
void main() {
    vec3 p = vec3(aPos, 1.0);
    gl_Position = vec4(dot(uRowX, p), dot(uRowY, p), 0.0, 1.0);
    vColor = aColor;
    vUv = aUv;
}
)";

const char* const kMultiplyFragmentShader = R"(#version 330 core
in vec4 vColor;
in vec2 vUv;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    fragColor = texture(uTexture, vUv) * vColor;
}
)";

// Batches of untinted quads (colour 0xFFFFFFFF, multiplying): the texel as it is, the
// same pixels as the multiply shader at a little less cost per pixel.
const char* const kPlainVertexShader = R"(#version 330 core
layout(location = 0) in vec2 aPos;
layout(location = 3) in vec2 aUv;
uniform vec3 uRowX;
uniform vec3 uRowY;
out vec2 vUv;
void main() {
    vec3 p = vec3(aPos, 1.0);
    gl_Position = vec4(dot(uRowX, p), dot(uRowY, p), 0.0, 1.0);
    vUv = aUv;
}
)";

const char* const kPlainFragmentShader = R"(#version 330 core
in vec2 vUv;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    fragColor = texture(uTexture, vUv);
}
)";

// Batches with colour-add quads: the mode rides in each vertex (its z), so both kinds
// share a batch.
const char* const kMixedVertexShader = R"(#version 330 core
layout(location = 0) in vec2 aPos;
layout(location = 1) in float aMode;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aUv;
uniform vec3 uRowX;
uniform vec3 uRowY;
out vec4 vMul;
out vec3 vAdd;
out vec2 vUv;
void main() {
    vec3 p = vec3(aPos, 1.0);
    gl_Position = vec4(dot(uRowX, p), dot(uRowY, p), 0.0, 1.0);
    // Colour add: texel * 1 + colour; multiply: texel * colour + 0. Alpha always multiplies.
    vMul = vec4(mix(aColor.rgb, vec3(1.0), aMode), aColor.a);
    vAdd = aColor.rgb * aMode;
    vUv = aUv;
}
)";

// Without a branch: llvmpipe runs both sides of one, at a third of the fill rate.
const char* const kMixedFragmentShader = R"(#version 330 core
in vec4 vMul;
in vec3 vAdd;
in vec2 vUv;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    vec4 t = texture(uTexture, vUv);
    fragColor = vec4(min(t.rgb * vMul.rgb + vAdd, vec3(1.0)), t.a * vMul.a);
}
)";

GLuint Compile(GLenum kind, const char* source) {
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        glDeleteShader(s);
        return 0;
    }
    return s;
}

}  // namespace

Projection MakeProjection(int width, int height, float cx, float cy, float dx, float dy, float rot,
                          float hscale, float vscale, bool bottomUp) {
    // Affine transform a*x + b*y + c (x), d*x + e*y + f (y).
    float a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;
    if (hscale != 0.0f || vscale != 0.0f) {
        const float cs = std::cos(rot), sn = std::sin(rot);
        a = cs * hscale;
        b = -sn * vscale;
        d = sn * hscale;
        e = cs * vscale;
        c = -(a * cx + b * cy) + cx + dx;
        f = -(d * cx + e * cy) + cy + dy;
    }
    // Picture x 0..w to -1..1; picture y 0..h to -1..1, so GL row 0 holds the top row.
    const float sx = width > 0 ? 2.0f / float(width) : 1.0f;
    const float sy = height > 0 ? 2.0f / float(height) : 1.0f;
    Projection p;
    p.rowX[0] = a * sx;
    p.rowX[1] = b * sx;
    p.rowX[2] = c * sx - 1.0f;
    p.rowY[0] = d * sy;
    p.rowY[1] = e * sy;
    p.rowY[2] = f * sy - 1.0f;
    if (bottomUp)
        for (float& v : p.rowY) v = -v;
    return p;
}

bool QuadRenderer::Program::Build(const char* vertexSource, const char* fragmentSource) {
    GLuint vs = Compile(GL_VERTEX_SHADER, vertexSource);
    GLuint fs = Compile(GL_FRAGMENT_SHADER, fragmentSource);
    if (vs && fs) {
        name = glCreateProgram();
        glAttachShader(name, vs);
        glAttachShader(name, fs);
        glLinkProgram(name);
    }
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    GLint ok = 0;
    if (name) glGetProgramiv(name, GL_LINK_STATUS, &ok);
    if (!ok) return false;
    rowX = glGetUniformLocation(name, "uRowX");
    rowY = glGetUniformLocation(name, "uRowY");
    projectionSerial = 0;
    glUseProgram(name);
    glUniform1i(glGetUniformLocation(name, "uTexture"), 0);
    return true;
}

int QuadRenderer::QuadsPerDrawFor(const char* renderer) {
    return renderer && std::strstr(renderer, "llvmpipe") ? kQuadsPerDraw : kMaxQuads;
}

bool QuadRenderer::Init() {
    quadsPerDraw_ = QuadsPerDrawFor(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    if (!plain_.Build(kPlainVertexShader, kPlainFragmentShader) ||
        !multiply_.Build(kMultiplyVertexShader, kMultiplyFragmentShader) ||
        !mixed_.Build(kMixedVertexShader, kMixedFragmentShader)) {
        Shutdown();
        return false;
    }

    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, kBufferBytes, nullptr, GL_STREAM_DRAW);
    vboUsed_ = 0;
    const GLsizei stride = sizeof(hgeVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(hgeVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 1, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(hgeVertex, z)));
    glEnableVertexAttribArray(2);
    // ARGB in little-endian memory is B, G, R, A.
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(hgeVertex, col)));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(hgeVertex, tx)));

    std::vector<uint32_t> indices(size_t(kMaxQuads) * 6);
    for (int i = 0; i < kMaxQuads; ++i) {
        const uint32_t base = uint32_t(i) * 4;
        uint32_t* q = indices.data() + size_t(i) * 6;
        q[0] = base;
        q[1] = base + 1;
        q[2] = base + 2;
        q[3] = base + 2;
        q[4] = base + 3;
        q[5] = base;
    }
    glGenBuffers(1, &ibo_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint32_t)), indices.data(),
                 GL_STATIC_DRAW);

    const uint32_t white = 0xFFFFFFFFu;
    glGenTextures(1, &white_);
    glBindTexture(GL_TEXTURE_2D, white_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);

    ForgetState();

    vertices_.resize(size_t(kMaxQuads) * 4);
    count_ = 0;
    texture_ = white_;
    return true;
}

void QuadRenderer::Shutdown() {
    if (white_) glDeleteTextures(1, &white_);
    if (ibo_) glDeleteBuffers(1, &ibo_);
    if (vbo_) glDeleteBuffers(1, &vbo_);
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (plain_.name) glDeleteProgram(plain_.name);
    if (multiply_.name) glDeleteProgram(multiply_.name);
    if (mixed_.name) glDeleteProgram(mixed_.name);
    plain_ = Program();
    multiply_ = Program();
    mixed_ = Program();
    white_ = ibo_ = vbo_ = vao_ = 0;
    usedProgram_ = 0;
    blendState_ = -1;
    vertices_.clear();
    vertices_.shrink_to_fit();
    count_ = 0;
}

void QuadRenderer::ForgetState() {
    usedProgram_ = 0;
    blendState_ = -1;
    for (Program* p : {&plain_, &multiply_, &mixed_}) p->projectionSerial = 0;
    if (!vao_) return;
    glBindVertexArray(vao_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_BLEND);
}

void QuadRenderer::Use(Program& program) {
    if (usedProgram_ != program.name) {
        glUseProgram(program.name);
        usedProgram_ = program.name;
    }
    if (program.projectionSerial != projectionSerial_) {
        glUniform3fv(program.rowX, 1, projection_.rowX);
        glUniform3fv(program.rowY, 1, projection_.rowY);
        program.projectionSerial = projectionSerial_;
    }
}

GLint QuadRenderer::Upload() {
    const int vertices = count_ * 4;
    if (vboUsed_ + vertices > kBufferVertices) {
        // Fresh storage: the draws from the old one keep it until they are done.
        glBufferData(GL_ARRAY_BUFFER, kBufferBytes, nullptr, GL_STREAM_DRAW);
        vboUsed_ = 0;
    }
    const GLint first = vboUsed_;
    const GLintptr offset = GLintptr(first) * GLintptr(sizeof(hgeVertex));
    const GLsizeiptr bytes = GLsizeiptr(vertices) * GLsizeiptr(sizeof(hgeVertex));
    // Unsynchronised: no draw reads this part of the storage, so nothing need wait for
    // the draws queued from the parts before it.
    void* target = glMapBufferRange(GL_ARRAY_BUFFER, offset, bytes,
                                    GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (target) {
        std::memcpy(target, vertices_.data(), size_t(bytes));
        glUnmapBuffer(GL_ARRAY_BUFFER);
    } else {
        glBufferSubData(GL_ARRAY_BUFFER, offset, bytes, vertices_.data());
    }
    vboUsed_ += vertices;
    return first;
}

void QuadRenderer::Flush() {
    if (count_ == 0 || !vao_) {
        Discard();
        return;
    }
    Use(anyColorAdd_ ? mixed_ : anyTinted_ ? multiply_ : plain_);
    const GLint base = Upload();
    glBindTexture(GL_TEXTURE_2D, texture_ ? texture_ : white_);
    const int blend = alphaBlend_ ? 1 : 0;
    if (blend != blendState_) {
        // Alpha keeps coverage in drawn-into targets: one + (1 - src) for both modes.
        if (alphaBlend_)
            glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        else
            glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        blendState_ = blend;
    }
    for (int first = 0; first < count_; first += quadsPerDraw_) {
        const int quads = count_ - first < quadsPerDraw_ ? count_ - first : quadsPerDraw_;
        glDrawElementsBaseVertex(GL_TRIANGLES, quads * 6, GL_UNSIGNED_INT,
                                 reinterpret_cast<void*>(size_t(first) * 6 * sizeof(uint32_t)), base);
    }
    Discard();
}

}  // namespace hgeplatform
