#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/GUI/Cursor.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "tests/support/RecordingSprite.h"

using namespace EngineCore;

namespace {

class RecordingCursor : public Cursor {
public:
    explicit RecordingCursor(std::vector<std::string>& log) : _log(&log) {}

protected:
    void Show() override
    {
        _log->push_back("show");
        Cursor::Show();
    }
    void Hide() override
    {
        _log->push_back("hide");
        Cursor::Hide();
    }

private:
    std::vector<std::string>* _log;
};

}  // namespace

TEST(Cursor, NewCursor)
{
    std::vector<std::string> log;
    RecordingCursor cursor(log);
    EXPECT_EQ(Resource::RT_CURSOR, cursor.GetType());
    EXPECT_FALSE(cursor.IsVisible());
    EXPECT_FALSE(cursor.IsValid());
    cursor.SetSprite(std::make_shared<RecordingCursor>(log));
    EXPECT_TRUE(cursor.IsValid());
}

TEST(GUISystem, CursorShowsAndHidesByTheSystemCursorRule)
{
    GUISystem& gui = GUISystem::Instance();
    std::vector<std::string> log;
    std::vector<bool> listened;
    auto cursor = std::make_shared<RecordingCursor>(log);
    gui.SetEvent([&](bool enable) { listened.push_back(enable); });
    gui.SetCursorResource(cursor);
    EXPECT_EQ(cursor, gui.GetCursorResource());
    EXPECT_FALSE(gui.IsCursorVisible());

    gui.ShowCursor();
    EXPECT_TRUE(gui.IsCursorVisible());
    gui.HideCursor(false);  // the custom cursor is in use: stays
    EXPECT_TRUE(gui.IsCursorVisible());
    gui.HideCursor(true);
    EXPECT_FALSE(gui.IsCursorVisible());

    gui.EnableSystemCursor(true);
    EXPECT_TRUE(gui.IsEnabledSystemCursor());
    gui.ShowCursor();  // the system cursor is in use: stays hidden
    EXPECT_FALSE(gui.IsCursorVisible());
    gui.EnableSystemCursor(false);
    EXPECT_TRUE(gui.IsCursorVisible());
    EXPECT_EQ((std::vector<std::string>{"show", "hide", "hide", "show"}), log);
    EXPECT_EQ((std::vector<bool>{true, false}), listened);

    // Releasing the render system releases the GUI, which drops the cursor.
    RenderSystem::Instance().Release();
    EXPECT_FALSE(gui.GetCursorResource());
    EXPECT_FALSE(gui.IsCursorVisible());
    EXPECT_EQ(1, cursor.use_count());
    gui.SetEvent(nullptr);
}

TEST(GUISystem, UpdaterRunsUnderTheLockAndMayReinstallItself)
{
    GUISystem& gui = GUISystem::Instance();
    RenderSystem& render = RenderSystem::Instance();
    std::vector<std::string> log;
    render.SetCurrentGameState("system");
    TestSupport::RecordingSprite loadingScreen("loading", log);

    gui.SetRendererFunction([&] { log.push_back("render"); });
    // The back-end's first cursor operation installs the GUI functions from
    // inside a call that already holds the GUI lock.
    gui.SetUpdaterFunction([&](float dt) {
        log.push_back("first updater " + std::to_string(dt));
        GUISystem::Instance().SetUpdaterFunction([&](float) { log.push_back("second updater"); });
    });
    render.SetWaitingStatus(true);
    render.Update(0.5f);
    render.Update(0.5f);
    render.SetWaitingStatus(false);
    EXPECT_EQ((std::vector<std::string>{"render loading", "first updater 0.500000", "render", "render loading",
                                        "second updater", "render"}),
              log);
    gui.SetRendererFunction(nullptr);
    gui.SetUpdaterFunction(nullptr);
}

// A callable that counts the copies made of it.
struct CopyCounter {
    int* copies;
    int* calls;
    CopyCounter(int* copiesCount, int* callsCount) : copies(copiesCount), calls(callsCount) {}
    CopyCounter(const CopyCounter& other) : copies(other.copies), calls(other.calls) { ++*copies; }
    CopyCounter& operator=(const CopyCounter&) = delete;
    void operator()(float) const { ++*calls; }
    void operator()(bool) const { ++*calls; }
    void operator()() const { ++*calls; }
};

TEST(GUISystem, FramesAndCursorSwitchesRunTheInstalledFunctionsWithoutCopyingThem)
{
    GUISystem& gui = GUISystem::Instance();
    int copies = 0, calls = 0;
    gui.SetUpdaterFunction(std::function<void(float)>(CopyCounter(&copies, &calls)));
    gui.SetRendererFunction(std::function<void()>(CopyCounter(&copies, &calls)));
    gui.SetEvent(std::function<void(bool)>(CopyCounter(&copies, &calls)));
    const int installed = copies;
    for (int frame = 0; frame < 3; ++frame) {
        gui.Update(0.1f);
        gui.Render();
        gui.EnableSystemCursor(frame % 2 == 0);
    }
    EXPECT_EQ(9, calls);
    EXPECT_EQ(installed, copies);
    gui.SetUpdaterFunction(nullptr);
    gui.SetRendererFunction(nullptr);
    gui.SetEvent(nullptr);
    gui.EnableSystemCursor(false);
}
