#pragma once
// Runs the real application headless: fake sprite and cursor creators, no window,
// and a temporary data folder with small script fixtures. The "system" state's
// script records what the loading screen is asked to do in the global `Trace`.
#include <gtest/gtest.h>
#include <lua.hpp>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/Animation/AnimationPlayer.h"
#include "engine/Animation/AnimationSystem.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/GUI/Cursor.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/ScriptEngineHelper.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "tests/support/FailureText.h"
#include "tools/pack/PackWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDocuments.h"

namespace GameFlowTest {

class FakeSprite : public EngineCore::Sprite {
public:
    void Render() override {}
};

class FakeCursor : public EngineCore::Cursor {
public:
    std::string calls;

protected:
    void Show() override
    {
        calls += "S";
        Cursor::Show();
    }
    void Hide() override
    {
        calls += "H";
        Cursor::Hide();
    }
};

// The "system" state's script: every loading-screen entry point notes its call.
inline const char* SystemStateScript()
{
    return "Trace = ''\n"
           "Frames = 0\n"
           "function Note(text) Trace = Trace .. text .. '|' end\n"
           "SystemLogic = {}\n"
           "Loading = {}\n"
           "PageFX = {}\n"
           "function SystemLogic.FirstLoading() Note('FirstLoading') end\n"
           "function Loading.StartGameLoading()\n"
           "  Note('GameLoading:' .. (Loading.currentBackgroundTexture or '-'))\n"
           "  Loading.currentBackgroundTexture = nil\n"
           "end\n"
           "function Loading.StartMenuLoading() Note('MenuLoading') end\n"
           "function Loading.StartPageFX()\n"
           "  Note('PageFX:' .. PageFX.backgroundTextureOld .. '>' .. PageFX.backgroundTextureNew)\n"
           "  if EndPageFxAfter then PageFxLeft = EndPageFxAfter end\n"
           "end\n"
           "function Loading.Update()\n"
           "  Frames = Frames + 1\n"
           "  LastFrameTime = Loading.frameTime\n"
           "  if Loading.frameTime == 0.0166666675 then ExactFrameTime = true end\n"
           "  if PageFxLeft then\n"
           "    PageFxLeft = PageFxLeft - 1\n"
           "    if PageFxLeft <= 0 then PageFxLeft = nil; EndPageFx() end\n"
           "  end\n"
           "end\n";
}

// The script method that ends the page-turn effect, as the game's scripts call it.
inline int EndPageFx(lua_State*)
{
    std::shared_ptr<GameCore::GameState> system;
    GameCore::Application::Instance().GetSystemGameState(system);
    system->StopPageFX();
    return 0;
}

using TestSupport::ErrorOf;

inline std::string LuaGlobal(lua_State* state, const char* name)
{
    lua_getfield(state, LUA_GLOBALSINDEX, name);
    std::string value = "nil";
    if (lua_type(state, -1) == LUA_TBOOLEAN)
        value = lua_toboolean(state, -1) ? "true" : "false";
    else if (!lua_isnil(state, -1))
        value = lua_tostring(state, -1);
    lua_pop(state, 1);
    return value;
}

// The interpreter of the state entered last.
inline lua_State* CurrentInterpreter()
{
    std::shared_ptr<GameLuaScriptImpl::LuaScriptEngine> engine =
        std::dynamic_pointer_cast<GameLuaScriptImpl::LuaScriptEngine>(
            EngineCore::ScriptEngineHelper::Instance().GetCurrentScriptEngine());
    return engine ? engine->GetState() : nullptr;
}

class Harness : public ::testing::Test {
protected:
    TestSupport::TempFolder folder;
    std::string previousDirectory;
    std::shared_ptr<FakeCursor> cursor;
    std::shared_ptr<EngineCore::AnimationPlayer> cursorPlayer;
    std::shared_ptr<EngineCore::AnimationPlayer> loadingBarPlayer;
    std::shared_ptr<EngineCore::ScriptEngine> systemEngine;
    GameCore::Application& app = GameCore::Application::Instance();
    bool released = false;
    bool indexed = false;

    void SetUp() override
    {
        TestSupport::UseTestDocumentsFolder();
        char buffer[4096];
        previousDirectory = getcwd(buffer, sizeof buffer) ? buffer : ".";
        PackTool::PackWriter pack;
        pack.AddEntry("PreStartup.lua", std::string("PreStartupRan = true\n"));
        folder.WriteFile("Base/Loading.resources", pack.Build());
        Write("Loading/SystemState.lua", SystemStateScript());
        Write("Base/Scripts/GameAPI.lua", "GameApiRuns = (GameApiRuns or 0) + 1\n");
        for (const char* name : {"game", "map", "menu", "intro", "other", "alpha", "beta"})
            Write(std::string("States/") + name + ".lua",
                  "Visits = (Visits or 0) + 1\nSeenApi = GameApiRuns\n");
        Write("States/broken.lua", "Visits = 1\nthis is not Lua\n");
        ASSERT_EQ(chdir(folder.Path().c_str()), 0);

        // Names repeat from test to test: what an earlier test read must not answer here.
        EngineCore::FileSystem::Instance().FreeCache();
        EngineCore::FileSystem::Instance().AddDirectory("data");
        indexed = true;
        EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::Instance();
        factory.RegisterResourceCreator(2, [] { return std::make_shared<FakeSprite>(); });
        factory.RegisterResourceCreator(10, [] { return std::make_shared<FakeCursor>(); });
    }

    void TearDown() override
    {
        if (!released)
            app.Release();
        systemEngine.reset();
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(2);
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(10);
        EXPECT_EQ(chdir(previousDirectory.c_str()), 0);
    }

    // Writes a file of the data folder and indexes the folder again.
    void Write(const std::string& name, const std::string& text)
    {
        folder.WriteFile("data/" + name, text);
        if (indexed)
            EngineCore::FileSystem::Instance().AddDirectory("data");
    }

    // A start-up script that creates the named states with their scripts, then selects
    // `first` (nothing when empty).
    static std::string StartupScript(const std::vector<std::string>& states, const std::string& first)
    {
        std::string text;
        for (const std::string& name : states)
            text += "do local s = GameState(); s:SetName('" + name + "'); s:SetStartupScript('States/" + name +
                    ".lua') end\n";
        if (!first.empty())
            text += "Application():SetCurrentGameState('" + first + "')\n";
        return text;
    }

    // What the launcher, the content's loading-screen script and the first "GUISystem"
    // script object provide before the start-up script runs.
    void Prepare()
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState("system");
        EngineCore::AnimationSystem& animations = EngineCore::AnimationSystem::Instance();
        animations.CreateAnimationPlayer("SystemLogic.CursorAnimation.player", cursorPlayer);
        animations.CreateAnimationPlayer("Loading.LoadingBar.AnimationPlayer", loadingBarPlayer);
        std::shared_ptr<EngineCore::Resource> cursorResource;
        ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource("Cursor.System", 10, cursorResource));
        cursor = std::dynamic_pointer_cast<FakeCursor>(cursorResource);
        EngineCore::GUISystem::Instance().SetCursorResource(cursorResource);
        app.PreInit("PreStartup.lua");
    }

    void Start(const std::vector<std::string>& states, const std::string& first)
    {
        StartWithScript(StartupScript(states, first), first == "intro");
    }

    void StartWithScript(const std::string& startup, bool introFirst = false)
    {
        Write("Startup.lua", startup);
        Prepare();
        app.Init("Startup.lua");
        // A state selected by the start-up script is entered only after a loading frame
        // (or at once for "intro"): until then the "system" state is the one entered last.
        if (!introFirst) {
            systemEngine = EngineCore::ScriptEngineHelper::Instance().GetCurrentScriptEngine();
            lua_register(System(), "EndPageFx", &EndPageFx);
            // Page-turn effects end on the frame after they start unless a test says otherwise.
            RunSystem("EndPageFxAfter = 1");
        }
    }

    lua_State* System() const
    {
        std::shared_ptr<GameLuaScriptImpl::LuaScriptEngine> engine =
            std::dynamic_pointer_cast<GameLuaScriptImpl::LuaScriptEngine>(systemEngine);
        return engine ? engine->GetState() : nullptr;
    }

    std::string Trace() const { return LuaGlobal(System(), "Trace"); }
    void ClearTrace() { System() && RunSystem("Trace = ''"); }
    bool RunSystem(const std::string& text)
    {
        std::shared_ptr<GameCore::GameState> system;
        app.GetSystemGameState(system);
        return system->RunScriptString(text);
    }

    std::shared_ptr<GameCore::GameState> State(const std::string& name)
    {
        std::shared_ptr<GameCore::GameState> state;
        app.GetGameState(name, state);
        return state;
    }

    bool Frame(float dt = 1.0f / 60.0f)
    {
        const bool quit = app.Update(dt);
        app.UpdateRender(dt);
        return quit;
    }

    // Waits for a started loader to raise its flag (it does so before its first wait).
    bool AwaitLoadStart()
    {
        for (int i = 0; i < 500 && !app.IsWaiting(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return app.IsWaiting();
    }

    // Runs loading frames until the load ends, then the first frame after it (which
    // throws a load's error). Returns the number of loading frames.
    int FinishLoad(int maxFrames = 600)
    {
        // A switch away from a current state starts in the next frame.
        if (!app.IsWaiting())
            Frame();
        EXPECT_TRUE(AwaitLoadStart());
        int frames = 0;
        while (app.IsWaiting() && frames < maxFrames) {
            Frame();
            ++frames;
        }
        EXPECT_FALSE(app.IsWaiting());
        Frame();
        return frames;
    }
};

}  // namespace GameFlowTest
