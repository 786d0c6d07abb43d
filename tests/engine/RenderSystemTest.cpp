#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/ParticleSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/ScreenBuffer.h"
#include "tests/support/RecordingSprite.h"

using namespace EngineCore;
using TestSupport::RecordingSprite;
using Log = std::vector<std::string>;

namespace {

class RecordingParticles : public ParticleSystem {
public:
    explicit RecordingParticles(Log& log) : _log(&log) {}
    void Render() override { _log->push_back("particles"); }
    std::shared_ptr<Resource> Clone() const override { return nullptr; }

private:
    Log* _log;
};

// Every test starts in normal mode with its own current game state and the GUI
// functions writing into the test's log.
class RenderSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        render.SetWaitingStatus(false);
        render.SetCurrentGameState("game");
        GUISystem::Instance().SetRendererFunction([this] { log.push_back("gui"); });
        GUISystem::Instance().SetUpdaterFunction([this](float) { log.push_back("gui update"); });
    }
    void TearDown() override
    {
        render.SetWaitingStatus(false);
        for (const char* state : {"game", "intro", "menu", "system"}) {
            render.RemoveGameState(state);
        }
        GUISystem::Instance().SetRendererFunction(nullptr);
        GUISystem::Instance().SetUpdaterFunction(nullptr);
    }
    // One frame, returning what it logged.
    Log Frame(float dt = 0.02f)
    {
        log.clear();
        render.Update(dt);
        return log;
    }
    // The video refits among `lines`, sorted.
    static Log Refits(const Log& lines)
    {
        Log refits;
        for (const std::string& line : lines) {
            if (line.rfind("video ", 0) == 0) {
                refits.push_back(line);
            }
        }
        std::sort(refits.begin(), refits.end());
        return refits;
    }
    // One frame, returning only its draw calls.
    Log Drawn()
    {
        Log drawn;
        for (const std::string& line : Frame()) {
            if (line.rfind("render ", 0) == 0) {
                drawn.push_back(line);
            }
        }
        return drawn;
    }

    RenderSystem& render = RenderSystem::Instance();
    Log log;
};

}  // namespace

TEST_F(RenderSystemTest, FrameUpdatesAndDrawsInPriorityOrderThenParticlesThenGui)
{
    RecordingSprite c("c", log, 3.0f);
    RecordingSprite a("a", log, 1.0f);
    RecordingSprite b("b", log, 2.0f);
    RecordingParticles particles(log);

    EXPECT_EQ((Log{"update a", "update b", "update c", "render a", "render b", "render c", "particles", "gui"}),
              Frame(0.25f));
    EXPECT_FLOAT_EQ(0.25f, a.lastDt);

    // 3 -> -1 puts c first at the next frame.
    c.SetPriority(-1.0f);
    EXPECT_EQ((Log{"update c", "update a", "update b", "render c", "render a", "render b", "particles", "gui"}),
              Frame());
}

TEST_F(RenderSystemTest, ListIsKeptUntilVisibilityOrPriorityChanges)
{
    RecordingSprite a("a", log, 1.0f);
    RecordingSprite b("b", log, 2.0f);
    Frame();
    // Copying attributes moves a's priority behind b without telling the render
    // system: the cached order stays...
    render.SetCurrentGameState("menu");
    RecordingSprite donor("donor", log, 5.0f);
    render.SetCurrentGameState("game");
    Frame();
    static_cast<Sprite&>(a) = donor;
    EXPECT_EQ((Log{"render a", "render b"}), Drawn());
    // ...storing the values a sprite already has is no change...
    a.SetPriority(a.GetPriority());
    b.SetVisible(b.IsVisible());
    EXPECT_EQ((Log{"render a", "render b"}), Drawn());
    // ...until a visibility change flags the list for a new sort.
    b.SetVisible(true);
    EXPECT_EQ((Log{"render b", "render a"}), Drawn());
}

TEST_F(RenderSystemTest, EmptyStateStillDrawsParticlesAndGui)
{
    RecordingParticles particles(log);
    EXPECT_EQ((Log{"particles", "gui"}), Frame());
}

TEST_F(RenderSystemTest, SpritesAreFiledUnderTheStateCurrentAtConstruction)
{
    render.SetCurrentGameState("intro");
    RecordingSprite introSprite("intro", log);
    render.SetCurrentGameState("menu");
    RecordingSprite menuSprite("menu", log);

    EXPECT_EQ((Log{"update menu", "render menu", "gui"}), Frame());
    render.SetCurrentGameState(nullptr);  // ignored
    EXPECT_EQ("menu", render.GetCurrentGameState());
    EXPECT_EQ((Log{"update menu", "render menu", "gui"}), Frame());

    render.SetCurrentGameState("intro");
    EXPECT_EQ((Log{"update intro", "render intro", "gui"}), Frame());

    // Forgetting a state leaves its sprites alive but no longer drawn.
    render.RemoveGameState("intro");
    render.RemoveGameState(nullptr);
    render.RemoveGameState("");
    EXPECT_EQ((Log{"gui"}), Frame());
}

TEST_F(RenderSystemTest, SpriteDestroyedInAnotherStateLeavesIt)
{
    render.SetCurrentGameState("intro");
    auto doomed = std::make_unique<RecordingSprite>("doomed", log);
    RecordingSprite kept("kept", log);
    render.SetCurrentGameState("menu");
    Frame();
    doomed.reset();
    render.SetCurrentGameState("intro");
    EXPECT_EQ((Log{"update kept", "render kept", "gui"}), Frame());
}

TEST_F(RenderSystemTest, RegisteringWithoutGameStateThrows)
{
    render.SetCurrentGameState("");
    try {
        RecordingSprite sprite("x", log);
        FAIL() << "a sprite was made without a game state";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("File: \"Renderer\\RenderSystem.cpp\"\nLine: 265\n\nError: Internal error.", e.what());
    }
    // The lock was released: another thread can take it.
    auto other = std::async(std::launch::async, [this] { return render.IsWaiting(); });
    ASSERT_EQ(std::future_status::ready, other.wait_for(std::chrono::seconds(10)));
    EXPECT_FALSE(other.get());
}

TEST_F(RenderSystemTest, WaitingFrameDrawsOnlySystemSpritesAndTheGui)
{
    render.SetCurrentGameState("system");
    RecordingSprite sys2("sys2", log, 2.0f);
    RecordingSprite sys1("sys1", log, 1.0f);
    render.SetCurrentGameState("game");
    RecordingSprite game("game", log);
    RecordingParticles particles(log);
    EXPECT_EQ((Log{"update game", "render game", "particles", "gui"}), Frame());

    render.SetWaitingStatus(true);
    EXPECT_TRUE(render.IsWaiting());
    EXPECT_EQ((Log{"render sys1", "render sys2", "gui update", "gui"}), Frame());

    // Loading ends with nothing else changed: the current state's sprites come
    // back, not the loading screen's.
    render.SetWaitingStatus(false);
    EXPECT_EQ((Log{"update game", "render game", "particles", "gui"}), Frame());
}

TEST_F(RenderSystemTest, WaitingFrameWithoutSystemSpritesDrawsNothing)
{
    RecordingSprite game("game", log);
    RecordingParticles particles(log);
    render.SetWaitingStatus(true);
    EXPECT_EQ(Log{}, Frame());
}

TEST_F(RenderSystemTest, SpriteDestroyedDuringTheFrameIsNotUsedAgain)
{
    auto first = std::make_unique<RecordingSprite>("first", log, 0.0f);
    auto second = std::make_unique<RecordingSprite>("second", log, 1.0f);
    auto third = std::make_unique<RecordingSprite>("third", log, 2.0f);
    std::unique_ptr<RecordingSprite> late;
    // As a script callback run from an update would: free a sprite still to
    // come in this frame, and make a new one.
    first->onUpdate = [&] {
        second.reset();
        late = std::make_unique<RecordingSprite>("late", log, 5.0f);
        first->onUpdate = nullptr;
    };
    EXPECT_EQ((Log{"update first", "update third", "render first", "render third", "gui"}), Frame());
    EXPECT_EQ((Log{"update first", "update third", "update late", "render first", "render third", "render late",
                   "gui"}),
              Frame());

    // A sprite that frees itself from its own update is not drawn.
    third->onUpdate = [&] { third.reset(); };
    EXPECT_EQ((Log{"update first", "update third", "update late", "render first", "render late", "gui"}), Frame());
}

TEST_F(RenderSystemTest, ManySpritesFreedDuringTheFrameAreEachSkipped)
{
    // The list is in priority order, not in the order the sprites were made: every freed
    // sprite must null its own entry and no other.
    const int count = 200;
    std::vector<std::unique_ptr<RecordingSprite>> sprites;
    for (int i = 0; i < count; ++i) {
        sprites.push_back(std::make_unique<RecordingSprite>(std::to_string(i), log, float((i * 37) % count)));
    }
    RecordingSprite trigger("trigger", log, -1.0f);
    trigger.onUpdate = [&] {
        for (int i = 0; i < count; i += 3) {
            sprites[size_t(i)].reset();
        }
        trigger.onUpdate = nullptr;
    };
    Log expected{"render trigger"};
    for (int priority = 0; priority < count; ++priority) {
        for (int i = 0; i < count; ++i) {
            if ((i * 37) % count == priority && i % 3 != 0) {
                expected.push_back("render " + std::to_string(i));
            }
        }
    }
    EXPECT_EQ(expected, Drawn());
    EXPECT_EQ(expected, Drawn());
}

TEST_F(RenderSystemTest, NanPrioritiesSortFirst)
{
    const float nan = std::nanf("");
    std::vector<std::unique_ptr<RecordingSprite>> sprites;
    const float priorities[] = {2.0f, nan, 1.0f, nan, 0.0f, nan, -3.0f, 7.0f, nan};
    for (size_t i = 0; i < sizeof(priorities) / sizeof(priorities[0]); ++i) {
        const std::string tag = std::isnan(priorities[i]) ? "nan" : std::to_string(static_cast<int>(priorities[i]));
        sprites.push_back(std::make_unique<RecordingSprite>(tag, log, priorities[i]));
    }
    Log expected;
    for (const char* tag : {"nan", "nan", "nan", "nan", "-3", "0", "1", "2", "7"}) {
        expected.push_back(std::string("render ") + tag);
    }
    EXPECT_EQ(expected, Drawn());
}

TEST_F(RenderSystemTest, ScreenSettingsAreStoredBeforeTheDelegateSeesThem)
{
    RecordingSprite a("a", log, 0.0f);
    auto gone = std::make_unique<RecordingSprite>("gone", log, 1.0f);
    RecordingSprite b("b", log, 2.0f);
    Frame();
    gone.reset();  // since the last rebuild: the list must not hand it out

    RenderSystem::ScreenSettings seen;
    int changes = 0;
    render.SetChangeScreenSettingsFunction([&](const RenderSystem::ScreenSettings& s) {
        ++changes;
        seen = render.GetScreenSettings();
        EXPECT_EQ(1280, s.width);
    });
    const RenderSystem::ScreenSettings settings{32, 1280, 720, 1024, 768, true, false};
    log.clear();
    render.ApplyScreenSettings(settings);
    EXPECT_EQ(1, changes);
    EXPECT_EQ(1280, seen.width);
    EXPECT_TRUE(seen.windowed);
    EXPECT_EQ((Log{"video a on", "video b on"}), log);

    // The back-end's report goes to the scripts' updater with its user data, not
    // back to the back-end.
    int marker = 0;
    void* userData = nullptr;
    RenderSystem::ScreenSettings reported;
    render.UpdateScreenSettingsFunction(
        [&](const RenderSystem::ScreenSettings& s, void* data) {
            reported = s;
            userData = data;
        },
        &marker);
    const RenderSystem::ScreenSettings restored{16, 800, 600, 0, 0, false, true};
    render.SetChangedScreenSettings(restored);
    EXPECT_EQ(1, changes);
    EXPECT_EQ(&marker, userData);
    EXPECT_EQ(800, reported.width);
    EXPECT_TRUE(reported.stretch);
    EXPECT_EQ(600, render.GetScreenSettings().height);

    render.SetChangeScreenSettingsFunction(nullptr);
    render.UpdateScreenSettingsFunction(nullptr, nullptr);
    render.ApplyScreenSettings(settings);  // no function installed: only stored
    EXPECT_EQ(720, render.GetScreenSettings().height);
}

// A screen change asked for during a load (by the state being entered) waits: the loading
// frames leave the window and every sprite alone, though GetScreenSettings answers with it
// at once. Where the first frame after the load starts, it reaches the window and refits
// the loaded state's sprites, made before or during the load, and never the loading
// screen's, which the last loading frame had listed. The render step does not apply it again.
TEST_F(RenderSystemTest, AChangeAskedDuringALoadRefitsTheLoadedStatesSpritesWhereTheNextFrameStarts)
{
    render.SetCurrentGameState("system");
    RecordingSprite loadingScreen("system", log);
    render.SetCurrentGameState("game");
    RecordingSprite kept("kept", log);
    Frame();
    std::vector<int> widths;
    render.SetChangeScreenSettingsFunction([&](const RenderSystem::ScreenSettings& s) { widths.push_back(s.width); });

    render.SetWaitingStatus(true);
    RecordingSprite made("made", log);
    Frame();
    // A width no other test asks for.
    const RenderSystem::ScreenSettings asked{32, 1234, 777, 0, 0, false, true};
    log.clear();
    render.ApplyScreenSettings(asked);
    EXPECT_EQ(1234, render.GetScreenSettings().width) << "what was asked, during the load";
    render.ApplyHeldScreenSettings();  // a frame that starts during the load
    EXPECT_EQ(Log{}, Refits(log));
    EXPECT_EQ(Log{}, Refits(Frame()));
    EXPECT_TRUE(widths.empty());

    render.SetWaitingStatus(false);
    log.clear();
    render.ApplyHeldScreenSettings();
    EXPECT_EQ(std::vector<int>{1234}, widths);
    EXPECT_EQ((Log{"video kept on", "video made on"}), Refits(log));
    EXPECT_EQ(Log{}, Refits(Frame()));
    EXPECT_EQ(std::vector<int>{1234}, widths);
    render.SetChangeScreenSettingsFunction(nullptr);
}

namespace {

class RecordingScreenBuffer : public ScreenBuffer {
public:
    std::string shotPath;
    float scales[2] = {0.0f, 0.0f};

protected:
    bool MakeScreenshot(const char* path) override
    {
        shotPath = path;
        return true;
    }
    bool GetCurrentTexture(float h, float v, std::shared_ptr<Resource>&) const override
    {
        const_cast<RecordingScreenBuffer*>(this)->scales[0] = h;
        const_cast<RecordingScreenBuffer*>(this)->scales[1] = v;
        return true;
    }
};

}  // namespace

TEST_F(RenderSystemTest, ScreenBufferOperationsNeedAScreenBuffer)
{
    std::shared_ptr<Resource> out;
    EXPECT_FALSE(render.MakeScreenshot("shot.bmp"));
    EXPECT_FALSE(render.GetCurrentTexture(1.0f, 1.0f, out));

    auto buffer = std::make_shared<RecordingScreenBuffer>();
    render.SetScreenBufferInstance(buffer);
    EXPECT_TRUE(render.MakeScreenshot("shot.bmp"));
    EXPECT_EQ("shot.bmp", buffer->shotPath);
    EXPECT_TRUE(render.GetCurrentTexture(0.5f, 0.25f, out));
    EXPECT_FLOAT_EQ(0.5f, buffer->scales[0]);
    EXPECT_FLOAT_EQ(0.25f, buffer->scales[1]);
    render.SetScreenBufferInstance(nullptr);
}
