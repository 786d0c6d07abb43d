// The "system" state's loading screen runs on the main thread while the loader thread
// enters another state: each side's scripts, callbacks and objects stay with the state
// whose script made them.
#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/Renderer/GameStateScope.h"
#include "tests/game/GameFlowHarness.h"

using namespace GameFlowTest;

namespace {

// Counts only the draws made while a load is showing the loading screen.
class LoadingScreenSprite : public EngineCore::Sprite {
public:
    void Render() override
    {
        if (EngineCore::RenderSystem::Instance().IsWaiting())
            ++loadingDraws;
    }
    std::atomic<int> loadingDraws{0};
};

// The loading screen of the tests: a loading bar whose two-key animation ends every few
// frames and reports it through its end callback, started again on the next frame; on
// frame 10 it asks for script text and sets its textures; on frame 20 it makes a player
// and a sprite of its own.
std::string LoadingScreenScript()
{
    return std::string(SystemStateScript()) +
           "BarAnim = Animation() BarAnim:SetName('Sys.BarAnim')\n"
           "BarAnim:BeginKey(0) BarAnim:EndKey() BarAnim:BeginKey(1) BarAnim:EndKey()\n"
           "Bar = AnimationPlayer() Bar:SetName('Sys.Bar')\n"
           "Bar:SetSprite('Sys.BarSprite') Bar:SetAnimation('Sys.BarAnim')\n"
           "Bar:SetEndAnimationCallback('#EndCount = (EndCount or 0) + 1 Restart = true')\n"
           "Bar:Play()\n"
           "local BaseUpdate = Loading.Update\n"
           "function Loading.Update()\n"
           "  BaseUpdate()\n"
           "  if Restart then Restart = false Bar:SetAnimationFrame(0) Bar:Play() end\n"
           "  Bar:Update(0.6)\n"
           "  if Frames == 10 then\n"
           "    GameStateSystem():RunScriptString('#Asked = (Asked or 0) + 1')\n"
           "    GameStateSystem():SetBackgroundEndTexture('FromLoadingScreen')\n"
           "  end\n"
           "  if TexturesEveryFrame then GameStateSystem():SetBackgroundEndTexture('Frame' .. Frames) end\n"
           "  if Frames == 20 then\n"
           "    Late = AnimationPlayer() Late:SetName('Sys.Late')\n"
           "    LateSprite = Sprite() LateSprite:SetName('Sys.LateSprite')\n"
           "  end\n"
           "end\n";
}

class LoadingScreenThreadsTest : public Harness {
protected:
    void SetUp() override
    {
        Harness::SetUp();
        EngineCore::ResourceFactory::Instance().RegisterResourceCreator(
            2, [] { return std::make_shared<LoadingScreenSprite>(); });
        Write("Loading/SystemState.lua", LoadingScreenScript());
        // Long enough to be running while the loading screen reports the bar's ends.
        Write("States/slow.lua",
              "for i = 1, 300000 do Spin = i end\n"
              "Own = AnimationPlayer() Own:SetName('Slow.Own')\n");
    }

    // Whether `state` files a live player under `name`, asked as that state's script would.
    static bool HasPlayer(const std::string& state, const std::string& name)
    {
        EngineCore::GameStateScope scope(state);
        std::shared_ptr<EngineCore::AnimationPlayer> player;
        return EngineCore::AnimationSystem::Instance().GetAnimationPlayer(name, player) && player;
    }

    lua_State* Interpreter(const std::string& name)
    {
        // The loaded state is the one entered last.
        return name == "system" ? System() : CurrentInterpreter();
    }
};

}  // namespace

// The end callback of a loading-screen player used to run in the state being loaded,
// entering its interpreter on the main thread while the loader thread ran its script.
TEST_F(LoadingScreenThreadsTest, LoadingScreenCallbacksAndScriptTextRunInTheSystemState)
{
    Start({"slow"}, "slow");
    const int loadingFrames = FinishLoad();
    ASSERT_GT(loadingFrames, 20);
    ASSERT_EQ(LuaGlobal(Interpreter("slow"), "Spin"), "300000");

    const struct {
        const char* global;
        const char* inSystem;  // "+" for any positive count
        const char* inLoaded;
    } rows[] = {
        {"EndCount", "+", "nil"},
        {"Asked", "1", "nil"},
    };
    for (const auto& row : rows) {
        const std::string system = LuaGlobal(Interpreter("system"), row.global);
        if (std::string(row.inSystem) == "+")
            EXPECT_GT(std::atof(system.c_str()), 0.0) << row.global;
        else
            EXPECT_EQ(system, row.inSystem) << row.global;
        EXPECT_EQ(LuaGlobal(Interpreter("slow"), row.global), row.inLoaded) << row.global;
    }
    std::shared_ptr<GameCore::GameState> system;
    app.GetSystemGameState(system);
    EXPECT_EQ(system->GetBackgroundEndTexture(), "FromLoadingScreen");
    EXPECT_EQ(State("slow")->GetBackgroundEndTexture(), "");
}

// Objects the loading screen made during the load used to be filed under the state being
// loaded: never drawn by the loading screen, then drawn and played in the new state.
TEST_F(LoadingScreenThreadsTest, ObjectsBelongToTheStateWhoseScriptMadeThem)
{
    Start({"slow"}, "slow");
    ASSERT_GT(FinishLoad(), 20);

    const struct {
        const char* player;
        bool inSystem;
        bool inLoaded;
    } rows[] = {
        {"Sys.Bar", true, false},
        {"Sys.Late", true, false},
        {"Slow.Own", false, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(HasPlayer("system", row.player), row.inSystem) << row.player;
        EXPECT_EQ(HasPlayer("slow", row.player), row.inLoaded) << row.player;
    }

    std::shared_ptr<EngineCore::Resource> late;
    ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource("Sys.LateSprite", 2, late));
    EXPECT_GT(std::static_pointer_cast<LoadingScreenSprite>(late)->loadingDraws.load(), 0);
}

// With a page effect the loader thread reads the "system" state's end texture while the
// loading screen's script may be setting it.
TEST_F(LoadingScreenThreadsTest, TheLoadingScreenMaySetItsTexturesWhileTheLoaderReadsThem)
{
    Write("States/menu.lua", "for i = 1, 300000 do Spin = i end\n");
    Start({"menu"}, "");
    RunSystem("TexturesEveryFrame = true");
    app.SetCurrentGameState(State("menu"), false);
    FinishLoad();
    std::shared_ptr<GameCore::GameState> system;
    app.GetSystemGameState(system);
    EXPECT_EQ(system->GetBackgroundEndTexture().rfind("Frame", 0), 0u);
    EXPECT_NE(Trace().find("PageFX:Frame"), std::string::npos) << Trace();
}
