// Frames per second of N moving 32x32 textured, alpha-blended quads at 1024x768, drawn
// through the platform layer and through a minimal raw OpenGL batch in the same context
// (the limit of this machine's renderer). Offscreen swaps do not block, so every frame
// waits for the GPU and reads back one pixel before it counts. QuadLayer/N/2 draws every
// other quad with a second texture of the same size, so that every quad starts a batch.
//
//   SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 ./build/bench/QuadBench
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <SDL.h>

#include <cmath>
#include <ctime>
#include <cstdio>
#include <map>
#include <vector>

#include "platform/hge/hge.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr float kSize = 32.0f;

HGE* g_hge = nullptr;
HTEXTURE g_texture = 0;
HTEXTURE g_second = 0;  // the same disc, red
std::map<int, double> g_layerFps;
std::map<int, double> g_rawFps;
std::map<int, double> g_cpuRatio;  // raw CPU time per frame / layer CPU time per frame

struct Sprite {
    float x, y, vx, vy;
    DWORD color;
};

std::vector<Sprite> MakeSprites(int n) {
    std::vector<Sprite> s(static_cast<size_t>(n));
    g_hge->Random_Seed(42);
    for (Sprite& p : s) {
        p.x = g_hge->Random_Float(0, kWidth - kSize);
        p.y = g_hge->Random_Float(0, kHeight - kSize);
        p.vx = g_hge->Random_Float(-3, 3);
        p.vy = g_hge->Random_Float(-3, 3);
        p.color = 0xC0000000u | (DWORD(g_hge->Random_Float(64, 255)) << 16) | 0xFF80u;
    }
    return s;
}

void Move(std::vector<Sprite>& sprites) {
    for (Sprite& p : sprites) {
        p.x += p.vx;
        p.y += p.vy;
        if (p.x < 0 || p.x > kWidth - kSize) p.vx = -p.vx;
        if (p.y < 0 || p.y > kHeight - kSize) p.vy = -p.vy;
    }
}

void WriteQuad(hgeVertex* v, const Sprite& p) {
    const float xs[4] = {p.x, p.x + kSize, p.x + kSize, p.x};
    const float ys[4] = {p.y, p.y, p.y + kSize, p.y + kSize};
    const float us[4] = {0, 1, 1, 0};
    const float ts[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) v[i] = hgeVertex{xs[i], ys[i], 0.5f, p.color, us[i], ts[i]};
}

void WaitAndReadPixel() {
    glFinish();
    DWORD pixel = 0;
    glReadPixels(0, 0, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, &pixel);
    benchmark::DoNotOptimize(pixel);
}

bool Setup() {
    if (g_hge) return true;
    g_hge = hgeCreate(HGE_VERSION);
    g_hge->System_SetState(HGE_WINDOWED, true);
    g_hge->System_SetState(HGE_SCREENWIDTH, kWidth);
    g_hge->System_SetState(HGE_SCREENHEIGHT, kHeight);
    if (!g_hge->System_Initiate()) return false;
    // A soft disc: alpha falls off towards the edge.
    g_texture = g_hge->Texture_Create(32, 32);
    DWORD* p = g_hge->Texture_Lock(g_texture, false);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const float d = std::hypot(x - 15.5f, y - 15.5f) / 16.0f;
            const int a = d >= 1.0f ? 0 : int(255.0f * (1.0f - d));
            p[y * 32 + x] = (DWORD(a) << 24) | 0xFFFFFFu;
        }
    g_hge->Texture_Unlock(g_texture);
    g_second = g_hge->Texture_Create(32, 32);
    DWORD* q = g_hge->Texture_Lock(g_second, false);
    p = g_hge->Texture_Lock(g_texture, true);
    for (int i = 0; i < 32 * 32; ++i) q[i] = p[i] & 0xFFFF0000u;
    g_hge->Texture_Unlock(g_texture);
    g_hge->Texture_Unlock(g_second);
    return true;
}

void LayerFrame(std::vector<Sprite>& sprites, int textures = 1) {
    hgeQuad q{};
    q.blend = BLEND_DEFAULT;
    Move(sprites);
    g_hge->Gfx_BeginScene();
    g_hge->Gfx_Clear(0xFF000000);
    const HTEXTURE pair[2] = {g_texture, textures == 2 ? g_second : g_texture};
    for (size_t i = 0; i < sprites.size(); ++i) {
        q.tex = pair[i & 1];
        WriteQuad(q.v, sprites[i]);
        g_hge->Gfx_RenderQuad(&q);
    }
    g_hge->Gfx_EndScene();
    WaitAndReadPixel();
}

void BM_Layer(benchmark::State& state) {
    if (!Setup()) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    std::vector<Sprite> sprites = MakeSprites(int(state.range(0)));
    const int textures = int(state.range(1));
    for (auto _ : state) LayerFrame(sprites, textures);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// The same picture through one program, one buffer and one draw per frame, straight into
// the window.
struct RawBatch {
    GLuint program = 0, vao = 0, vbo = 0, ibo = 0, texture = 0;

    bool Init(int maxQuads) {
        const char* vs = "#version 330 core\n"
                         "layout(location=0) in vec2 p; layout(location=1) in vec4 c; layout(location=2) in vec2 t;\n"
                         "out vec4 vc; out vec2 vt;\n"
                         "void main(){ gl_Position = vec4(p.x/512.0-1.0, 1.0-p.y/384.0, 0, 1); vc=c; vt=t; }\n";
        const char* fs = "#version 330 core\n"
                         "in vec4 vc; in vec2 vt; uniform sampler2D s; out vec4 o;\n"
                         "void main(){ o = texture(s, vt) * vc; }\n";
        GLuint v = glCreateShader(GL_VERTEX_SHADER), f = glCreateShader(GL_FRAGMENT_SHADER);
        glShaderSource(v, 1, &vs, nullptr);
        glShaderSource(f, 1, &fs, nullptr);
        glCompileShader(v);
        glCompileShader(f);
        program = glCreateProgram();
        glAttachShader(program, v);
        glAttachShader(program, f);
        glLinkProgram(program);
        GLint ok = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) return false;
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        glGenBuffers(1, &vbo);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        const GLsizei stride = sizeof(hgeVertex);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(12));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(16));
        std::vector<GLuint> idx(size_t(maxQuads) * 6);
        for (int i = 0; i < maxQuads; ++i) {
            const GLuint b = GLuint(i) * 4;
            const GLuint q[6] = {b, b + 1, b + 2, b + 2, b + 3, b};
            std::copy(q, q + 6, idx.begin() + i * 6);
        }
        glGenBuffers(1, &ibo);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(idx.size() * 4), idx.data(), GL_STATIC_DRAW);
        glBindVertexArray(0);

        std::vector<DWORD> texels(32 * 32);
        const DWORD* src = g_hge->Texture_Lock(g_texture, true);
        std::copy(src, src + 32 * 32, texels.begin());
        g_hge->Texture_Unlock(g_texture);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 32, 32, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
        return true;
    }

    void Free() {
        glDeleteTextures(1, &texture);
        glDeleteBuffers(1, &ibo);
        glDeleteBuffers(1, &vbo);
        glDeleteVertexArrays(1, &vao);
        glDeleteProgram(program);
    }
};

void RawFrame(RawBatch& raw, std::vector<Sprite>& sprites, std::vector<hgeVertex>& vertices) {
    const int n = int(sprites.size());
    SDL_Window* window = static_cast<SDL_Window*>(g_hge->System_GetState(HGE_HWND));
    {
        Move(sprites);
        for (int i = 0; i < n; ++i) WriteQuad(vertices.data() + size_t(i) * 4, sprites[size_t(i)]);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glUseProgram(raw.program);
        glBindVertexArray(raw.vao);
        glBindBuffer(GL_ARRAY_BUFFER, raw.vbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(hgeVertex)), vertices.data(),
                     GL_STREAM_DRAW);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, raw.texture);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDrawElements(GL_TRIANGLES, n * 6, GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
        SDL_GL_SwapWindow(window);
        WaitAndReadPixel();
    }
}

void BM_RawGL(benchmark::State& state) {
    if (!Setup()) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    const int n = int(state.range(0));
    std::vector<Sprite> sprites = MakeSprites(n);
    RawBatch raw;
    if (!raw.Init(n)) {
        state.SkipWithError("shader");
        return;
    }
    std::vector<hgeVertex> vertices(size_t(n) * 4);
    for (auto _ : state) RawFrame(raw, sprites, vertices);
    raw.Free();
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// CPU seconds of the whole process, the renderer's threads included: less swayed by other
// load on the machine than the wall clock.
double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double Seconds(Uint64 from, Uint64 to) { return double(to - from) / double(SDL_GetPerformanceFrequency()); }

// Both paths in alternating runs of a few frames, so that other load on the machine falls
// on both alike; the ratio printed at the end comes from here.
void Paired(int n, double budgetSeconds) {
    std::vector<Sprite> layerSprites = MakeSprites(n), rawSprites = MakeSprites(n);
    RawBatch raw;
    if (!raw.Init(n)) return;
    std::vector<hgeVertex> vertices(size_t(n) * 4);
    LayerFrame(layerSprites);
    RawFrame(raw, rawSprites, vertices);
    double layerTime = 0, rawTime = 0, layerCpu = 0, rawCpu = 0;
    int frames = 0;
    const Uint64 start = SDL_GetPerformanceCounter();
    while (Seconds(start, SDL_GetPerformanceCounter()) < budgetSeconds || frames < 6) {
        const double c0 = ProcessCpuSeconds();
        const Uint64 t0 = SDL_GetPerformanceCounter();
        for (int i = 0; i < 3; ++i) LayerFrame(layerSprites);
        const double c1 = ProcessCpuSeconds();
        const Uint64 t1 = SDL_GetPerformanceCounter();
        for (int i = 0; i < 3; ++i) RawFrame(raw, rawSprites, vertices);
        const double c2 = ProcessCpuSeconds();
        const Uint64 t2 = SDL_GetPerformanceCounter();
        layerTime += Seconds(t0, t1);
        rawTime += Seconds(t1, t2);
        layerCpu += c1 - c0;
        rawCpu += c2 - c1;
        frames += 3;
    }
    raw.Free();
    g_layerFps[n] = frames / layerTime;
    g_rawFps[n] = frames / rawTime;
    g_cpuRatio[n] = rawCpu / layerCpu;
}

}  // namespace

BENCHMARK(BM_Layer)->Name("QuadLayer")->Args({10000, 1})->Args({10000, 2})->Args({50000, 1})->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_RawGL)->Name("QuadRawGL")->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (Setup())
        for (int n : {10000, 50000}) Paired(n, 10.0);
    for (const auto& [n, raw] : g_rawFps) {
        auto it = g_layerFps.find(n);
        if (it == g_layerFps.end()) continue;
        std::printf("paired, N=%d: layer %.2f fps, raw GL %.2f fps, ratio %.3f (by process CPU time %.3f)\n", n,
                    it->second, raw, it->second / raw, g_cpuRatio[n]);
    }
    if (g_hge) {
        g_hge->System_Shutdown();
        g_hge->Release();
    }
    benchmark::Shutdown();
    return 0;
}
