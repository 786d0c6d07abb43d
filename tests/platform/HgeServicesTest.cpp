// What the platform layer does without a window: display mapping, log, files, random.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/hge/DisplayMapping.h"
#include "platform/hge/hge.h"

namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        char name[] = "/tmp/hge-services-XXXXXX";
        path_ = mkdtemp(name);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(DisplayMappingTest, WindowSizesTimesStretchGiveScalesAndOffsets) {
    struct Case {
        bool windowed, stretch;
        int gw, gh, ww, wh;
        float hs, vs, ho, vo;
        int x, y, w, h;
    } const cases[] = {
        // windowed: always 1:1
        {true, false, 800, 600, 800, 600, 1, 1, 0, 0, 0, 0, 800, 600},
        {true, true, 800, 600, 1024, 768, 1, 1, 0, 0, 0, 0, 800, 600},
        // same aspect: no bars either way
        {false, false, 800, 600, 1024, 768, 1.28f, 1.28f, 0, 0, 0, 0, 1024, 768},
        {false, true, 800, 600, 1024, 768, 1.28f, 1.28f, 0, 0, 0, 0, 1024, 768},
        // wider screen: bars left and right
        {false, false, 800, 600, 1920, 1080, 1.8f, 1.8f, -240.0f / 1.8f, 0, 240, 0, 1440, 1080},
        {false, true, 800, 600, 1920, 1080, 2.4f, 1.8f, 0, 0, 0, 0, 1920, 1080},
        // taller screen: bars above and below
        {false, false, 800, 400, 1024, 768, 1.28f, 1.28f, 0, -100, 0, 128, 1024, 512},
        {false, true, 800, 400, 1024, 768, 1.28f, 1.92f, 0, 0, 0, 0, 1024, 768},
        // a smaller screen shrinks the picture
        {false, false, 1024, 768, 800, 480, 0.625f, 0.625f, -80.0f / 0.625f, 0, 80, 0, 640, 480},
        // degenerate sizes never give a zero scale
        {false, false, 800, 600, 0, 0, 1, 1, 0, 0, 0, 0, 800, 600},
        {false, true, 0, 600, 1024, 768, 1, 1, 0, 0, 0, 0, 0, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.gw << "x" << c.gh << " in " << c.ww << "x" << c.wh
                                          << (c.windowed ? " windowed" : " full") << (c.stretch ? " stretch" : ""));
        const auto m = hgeplatform::ComputeDisplayMapping(c.windowed, c.stretch, c.gw, c.gh, c.ww, c.wh);
        EXPECT_FLOAT_EQ(m.hscale, c.hs);
        EXPECT_FLOAT_EQ(m.vscale, c.vs);
        EXPECT_NEAR(m.hoffset, c.ho, 1e-3);
        EXPECT_NEAR(m.voffset, c.vo, 1e-3);
        EXPECT_EQ(m.x, c.x);
        EXPECT_EQ(m.y, c.y);
        EXPECT_EQ(m.width, c.w);
        EXPECT_EQ(m.height, c.h);
        // The picture's corners map back to the game's corners, and back again.
        if (c.gw > 0 && c.ww > 0) {
            EXPECT_NEAR(m.GameX(float(m.x)), 0.0f, 0.5f);
            EXPECT_NEAR(m.GameY(float(m.y + m.height)), float(c.gh), 0.5f);
            EXPECT_NEAR(m.GameX(m.WindowX(123.0f)), 123.0f, 1e-3);
            EXPECT_NEAR(m.GameY(m.WindowY(45.0f)), 45.0f, 1e-3);
        }
    }
}

TEST(HgeLogTest, WritesEachLineAsGivenIntoTheNamedFile) {
    TempFolder dir;
    const std::string path = dir.Path() + "/game.log";
    {
        std::ofstream old(path);
        old << "old content\n";
    }
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_Log("%s", "before any file");  // no file: nothing, no harm
    hge->System_SetState(HGE_LOGFILE, path.c_str());
    EXPECT_EQ(ReadAll(path), "");  // truncated when named
    EXPECT_STREQ(hge->System_GetState(HGE_LOGFILE), path.c_str());
    hge->System_Log("%s", "100% sure %s %n %d");
    hge->System_Log("Texture_Load (%s)...ok", "a.png");
    EXPECT_EQ(ReadAll(path), "100% sure %s %n %d\nTexture_Load (a.png)...ok\n");  // flushed per line

    const std::string longLine(5000, 'x');
    hge->System_Log("%s", longLine.c_str());
    EXPECT_EQ(ReadAll(path), "100% sure %s %n %d\nTexture_Load (a.png)...ok\n" + longLine + "\n");

    // Two threads: whole lines, never interleaved.
    hge->System_SetState(HGE_LOGFILE, path.c_str());
    std::thread other([hge] {
        for (int i = 0; i < 200; ++i) hge->System_Log("%s", "loader line");
    });
    for (int i = 0; i < 200; ++i) hge->System_Log("%s", "main line");
    other.join();
    std::istringstream lines(ReadAll(path));
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(line == "loader line" || line == "main line") << line;
        ++count;
    }
    EXPECT_EQ(count, 400);
    hge->Release();
}

// A program the game starts (the browser, through xdg-open) must get no handle on the log:
// it could write into it, and would keep it open after the game ends.
TEST(HgeLogTest, AStartedProgramInheritsNoHandleOnTheLog) {
    TempFolder dir;
    const std::string path = dir.Path() + "/game.log";
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_SetState(HGE_LOGFILE, path.c_str());
    hge->System_Log("%s", "open");

    // The child lists where each of its descriptors leads.
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const char* argv[] = {"/bin/sh", "-c", "for f in /proc/self/fd/*; do readlink \"$f\"; done", nullptr};
    pid_t child = -1;
    ASSERT_EQ(posix_spawn(&child, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string listing;
    char buffer[512];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) listing.append(buffer, size_t(n));
    close(out[0]);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_NE(listing.find("pipe:"), std::string::npos) << listing;  // the listing itself works
    EXPECT_EQ(listing.find(path), std::string::npos) << listing;
    hge->System_SetState(HGE_LOGFILE, "");
    hge->Release();
}

TEST(HgeResourceTest, ReadsWholeFilesWithWindowsNames) {
    TempFolder dir;
    fs::create_directories(dir.Path() + "/Data/Video");
    {
        std::ofstream f(dir.Path() + "/Data/Video/Intro.OGV", std::ios::binary);
        f << std::string("abc\0def", 7);
    }
    { std::ofstream f(dir.Path() + "/empty.bin", std::ios::binary); }
    HGE* hge = hgeCreate(HGE_VERSION);
    const std::string cases[] = {
        dir.Path() + "/Data/Video/Intro.OGV",
        dir.Path() + "\\Data\\Video\\Intro.OGV",
        dir.Path() + "/data/VIDEO/intro.ogv",
    };
    for (const std::string& name : cases) {
        SCOPED_TRACE(name);
        DWORD size = 0;
        void* data = hge->Resource_Load(name.c_str(), &size);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(std::string(static_cast<char*>(data), size), std::string("abc\0def", 7));
        hge->Resource_Free(data);
    }
    // Relative names: against the working folder.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.Path());
    DWORD size = 99;
    void* data = hge->Resource_Load("DATA\\video\\intro.ogv", &size);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(size, 7u);
    hge->Resource_Free(data);
    data = hge->Resource_Load("empty.bin", &size);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(size, 0u);
    hge->Resource_Free(data);
    fs::current_path(cwd);

    size = 99;
    EXPECT_EQ(hge->Resource_Load((dir.Path() + "/missing.ogv").c_str(), &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(hge->Resource_Load((dir.Path() + "/Data").c_str(), &size), nullptr);  // a folder
    EXPECT_EQ(hge->Resource_Load("", &size), nullptr);
    EXPECT_EQ(hge->Resource_Load(nullptr, &size), nullptr);
    hge->Resource_Free(nullptr);
    hge->Release();
}

TEST(HgeRandomTest, SeededSequencesRepeatAndStayInRange) {
    HGE* hge = hgeCreate(HGE_VERSION);
    std::vector<float> first, second;
    hge->Random_Seed(1234);
    for (int i = 0; i < 1000; ++i) first.push_back(hge->Random_Float(-2.0f, 3.0f));
    hge->Random_Seed(1234);
    for (int i = 0; i < 1000; ++i) second.push_back(hge->Random_Float(-2.0f, 3.0f));
    EXPECT_EQ(first, second);
    float lo = 10, hi = -10;
    for (float v : first) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_GE(lo, -2.0f);
    EXPECT_LE(hi, 3.0f);
    EXPECT_LT(lo, -1.9f);  // spread over the whole range
    EXPECT_GT(hi, 2.9f);
    EXPECT_EQ(hge->Random_Float(5.0f, 5.0f), 5.0f);
    hge->Release();
}

TEST(HgeWithoutWindowTest, CallsBeforeInitiateAreHarmless) {
    HGE* hge = hgeCreate(HGE_VERSION);
    EXPECT_EQ(hge->Timer_GetDelta(), 0.0f);
    EXPECT_FALSE(hge->Gfx_BeginScene());
    hgeQuad q{};
    hge->Gfx_RenderQuad(&q);
    hge->Gfx_EndScene();
    EXPECT_FALSE(hge->System_Start());
    EXPECT_FALSE(hge->Input_IsMouseOver());
    EXPECT_FLOAT_EQ(hge->Gfx_GetHorizontalScale(), 1.0f);
    // Textures need no window: their texels wait for the first draw.
    HTEXTURE tex = hge->Texture_Create(4, 2);
    ASSERT_NE(tex, 0u);
    DWORD* p = hge->Texture_Lock(tex, false, 1, 1);
    ASSERT_NE(p, nullptr);
    p[0] = 0x11223344;
    hge->Texture_Unlock(tex);
    EXPECT_EQ(hge->Texture_Lock(tex, true)[5], 0x11223344u);
    hge->Texture_Free(tex);
    hge->System_Shutdown();  // without Initiate
    EXPECT_EQ(hge->Texture_Create(4, 4), 0u);
    hge->Release();
}

}  // namespace
