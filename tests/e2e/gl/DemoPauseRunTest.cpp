// The demo's picture features, run in the real program: the menu's star is hit only on
// its own shape, and the game's pause lays a blurred, dimmed capture of the screen over
// everything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/e2e/gl/ImageCompare.h"
#include "tests/e2e/gl/KeldryProcess.h"

using namespace E2E;

namespace {

std::string DemoScript(const std::string& name)
{
    std::ifstream in(std::string(DEMO_GAME_DIR) + "/Base/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The demo's menu, which on its fifth frame asks the star about points on it and around
// it, and writes the answers as a sprite's name into the log; then the game starts.
const char* const kMenuProbe =
    "Probe = { frames = 0 }\n"
    "function Probe.OnFrame(dt)\n"
    "  Probe.frames = Probe.frames + 1\n"
    "  Menu.OnFrame(dt)\n"
    "  if Probe.frames == 5 then\n"
    "    local points = { {208, 394}, {208, 334}, {236, 432}, {160, 394}, {250, 350}, {150, 340}, {208, 454} }\n"
    "    local answers = 'Probe.Star'\n"
    "    for i = 1, 7 do\n"
    "      local hit = Menu.star:IsAlphaCollided(points[i][1], points[i][2])\n"
    "      answers = answers .. '.' .. ((hit and hit ~= 0) and 'hit' or 'miss')\n"
    "    end\n"
    "    local s = Sprite(); s:SetName(answers)\n"
    "  end\n"
    "  if Probe.frames == 10 then GameStateSystem():ChangeState('game') end\n"
    "end\n"
    "GameStateSystem():SetUpdaterFunctionName('Probe.OnFrame')\n";

// The demo's game, quitting on its 30th frame, with a press of P on the 20th when `pause`.
std::string GameProbe(bool pause)
{
    return std::string("Probe = { frames = 0 }\n"
                       "function Probe.OnFrame(dt)\n"
                       "  Probe.frames = Probe.frames + 1\n"
                       "  Play.OnFrame(dt)\n") +
           (pause ? "  if Probe.frames == 20 then Play.TogglePause() end\n" : "") +
           // Asked again every frame, as the demo does: a quit asked while a state is still
           // coming in is not acted on.
           "  if Probe.frames >= 30 then GameStateSystem():Quit() end\n"
           "end\n"
           "GameStateSystem():SetUpdaterFunctionName('Probe.OnFrame')\n";
}

struct DemoRun {
    RunResult result;
    Image last;
};

DemoRun RunDemo(KeldryProcess& keldry, bool pause)
{
    // Dated after the demo's own copies, which a rebuild may have just written.
    const std::string base = std::string(DEMO_GAME_DIR) + "/Base/";
    WriteReplacement(keldry.home, "override/Scripts/Settings.lua",
                     "Settings = { menuFrames = 0, quitAfterFrames = 0, fixedStep = 1 / 60 }\n",
                     base + "Scripts/Settings.lua");
    WriteReplacement(keldry.home, "override/States/Menu.lua", DemoScript("States/Menu.lua") + kMenuProbe,
                     base + "States/Menu.lua");
    WriteReplacement(keldry.home, "override/States/Game.lua", DemoScript("States/Game.lua") + GameProbe(pause),
                     base + "States/Game.lua");
    const std::string snapshot = keldry.home / "last.bmp";
    keldry.environment = {{"KELDRY_TEST_SNAPSHOT", snapshot}, {"KELDRY_TEST_FIXED_DELTA", "0.0166666675"}};
    DemoRun run;
    run.result = keldry.Run(DEMO_GAME_DIR, {"-resource", "Base", "-resource", keldry.home / "override", "-windowed"});
    LoadImage(snapshot, run.last);
    return run;
}

int Channel(uint32_t c, int shift) { return int(c >> shift) & 0xFF; }

// Sum over the picture of the squared largest channel step between horizontal neighbours:
// a blur spreads a step over several texels, which keeps their sum but not their squares'.
// The middle, where the word PAUSED goes, is left out.
long Sharpness(const Image& image)
{
    long sum = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 1; x < image.width; ++x) {
            if (y >= 340 && y < 400 && x >= 400 && x < 580)
                continue;
            const uint32_t a = image.argb[size_t(y) * image.width + x - 1];
            const uint32_t b = image.argb[size_t(y) * image.width + x];
            int step = 0;
            for (int shift : {0, 8, 16}) step = std::max(step, std::abs(Channel(a, shift) - Channel(b, shift)));
            sum += long(step) * step;
        }
    return sum;
}

long Brightness(const Image& image)
{
    long sum = 0;
    for (uint32_t c : image.argb) sum += Channel(c, 0) + Channel(c, 8) + Channel(c, 16);
    return sum;
}

// Pale yellow texels of the word PAUSED, about the screen's centre.
int PausedTextTexels(const Image& image)
{
    int count = 0;
    for (int y = 350; y < 390 && y < image.height; ++y)
        for (int x = 420; x < 560 && x < image.width; ++x) {
            const uint32_t c = image.argb[size_t(y) * image.width + x];
            if (Channel(c, 16) > 200 && Channel(c, 8) > 180 && Channel(c, 0) < 170) ++count;
        }
    return count;
}

TEST(DemoPauseRun, TheStarIsHitOnItsShapeAndThePauseShowsABlurredDimmedCapture)
{
    KeldryProcess playing, paused;
    const DemoRun plain = RunDemo(playing, false);
    const DemoRun blurred = RunDemo(paused, true);
    for (const DemoRun* run : {&plain, &blurred}) {
        ASSERT_EQ(run->result.status, 0) << run->result.stderrText << run->result.log;
        ASSERT_EQ(run->result.log.find("FatalError"), std::string::npos) << run->result.log;
        ASSERT_EQ(1024, run->last.width);
        ASSERT_EQ(768, run->last.height);
    }
    // The centre and two points of the star are hit; the gaps between points, and the
    // corners of its square, are not.
    EXPECT_NE(plain.result.log.find("Sprite_Create (Probe.Star.hit.hit.hit.miss.miss.miss.miss)"), std::string::npos)
        << plain.result.log;

    // The same scene ten frames apart: blurred, it loses most of its sharp edges, dimmed
    // it is darker, and the word PAUSED lies over it.
    EXPECT_LT(Sharpness(blurred.last) * 3, Sharpness(plain.last));
    EXPECT_LT(Brightness(blurred.last), Brightness(plain.last) * 9 / 10);
    EXPECT_GT(PausedTextTexels(blurred.last), 50);
    EXPECT_EQ(PausedTextTexels(plain.last), 0);
}

}  // namespace
