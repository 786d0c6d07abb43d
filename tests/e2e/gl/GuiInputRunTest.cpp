// The real program on a private X server, driven by xdotool: a click on a button, a
// drag of an item onto a quest button and typed letters reach the game's scripts,
// which mark each step in the log and quit by themselves when all three arrived.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/e2e/gl/KeldryProcess.h"
#include "tests/e2e/gl/LoadingScripts.h"
#include "tests/e2e/gl/XServer.h"
#include "tests/support/TempFolder.h"

using namespace E2E;

namespace {

// A sprite made under a name writes "Sprite_Create (<name>)...ok" to the log.
const char* const kMenu =
    "Marks = {}\n"
    "function Mark(name) if not Marks[name] then Marks[name] = true; local s = Sprite(); s:SetName(name) end end\n"
    "Done = { click = false, drop = false, typed = false }\n"
    "b = ButtonControl(); b:SetPosition(100, 100); b:SetSize(100, 60)\n"
    "b:RegisterAction(1, '#Done.click = true Mark(\"Probe.Clicked\")')\n"
    "item = Sprite(); item:SetName('Probe.Item'); item:SetPosition(300, 100)\n"
    "d = DraggableImage(); d:SetPosition(300, 100); d:SetSize(60, 60); d:SetItemName('Key')\n"
    "d:SetDraggableSprite('Probe.Item'); d:RegisterAllActions('', 'OnDrop')\n"
    "q = ButtonControl(); q:SetPosition(600, 100); q:SetSize(100, 100); q:AddQuestAction('OnQuest', 'Key')\n"
    "function OnQuest(name) Done.drop = true Mark('Probe.Quest.' .. name) end\n"
    "function OnDrop(sprite, x, y, name) Mark('Probe.Drop.' .. sprite) end\n"
    "e = EditBoxControl(); e:Enable(); e:RegisterAction(1, '#OnChar()')\n"
    "Typed = ''\n"
    "Letters = { [104] = 'h', [105] = 'i' }\n"
    "function OnChar() Typed = Typed .. (Letters[e:GetLastKeyCharValue()] or '?')"
    " if Typed == 'hi' then Done.typed = true Mark('Probe.Typed.hi') end end\n"
    "Frames = 0\n"
    "function OnFrame() Frames = Frames + 1\n"
    "  if Frames == 5 then\n"
    "    if InputDeviceManager == nil then Mark('Probe.NoInput') GameStateSystem():Quit() end\n"
    "    Mark('Probe.Ready')\n"
    "  end\n"
    "  if (Done.click and Done.drop and Done.typed) or Frames > 3000 then GameStateSystem():Quit() end\n"
    "end\n"
    "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";

bool LogHas(KeldryProcess& keldry, const std::string& line)
{
    return ReadText(keldry.home / "Documents/Vexa.log").find(line) != std::string::npos;
}

}  // namespace

TEST(GuiInputRun, AClickADropAndTypedTextReachTheScripts)
{
    ASSERT_TRUE(XServer::Available()) << "Xvfb or xdotool is missing: scripts/setup.sh installs them";
    XServer server;
    ASSERT_FALSE(server.Display().empty()) << "no X server could be started";

    TestSupport::TempFolder game;
    WriteLoadingScripts(game, kBareSystemState, kMenuStartup);
    game.WriteFile("Base/States/Menu.lua", kMenu);

    KeldryProcess keldry;
    keldry.environment = {{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", server.Display()}};
    std::atomic<bool> noInput{false};
    std::atomic<bool> driven{false};
    std::string missed;  // the mark the player waited for in vain; read after the join
    // A fatal error would wait on its message box: the run is cut short then.
    // The player: waits until the game is ready, then acts.
    std::thread player([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        // Each step waits for the mark of the one before, so that no step starts while
        // the game still handles the last.
        auto awaitMark = [&](const std::string& mark) {
            while (!LogHas(keldry, "Sprite_Create (" + mark + ")...ok")) {
                if (std::chrono::steady_clock::now() > deadline) {
                    missed = mark;
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            return true;
        };
        if (!awaitMark("Probe.Ready"))
            return;
        if (LogHas(keldry, "Sprite_Create (Probe.NoInput)...ok")) {
            noInput = true;
            return;
        }
        const std::string& display = server.Display();
        const std::string window = "--window";
        auto tool = [&](std::vector<std::string> args) {
            args.insert(args.begin(), "xdotool");
            RunTool(args, display);
        };
        // The game window is the only one: the search names it %1 for the commands chained after it.
        const std::vector<std::string> find = {"search", "--sync", "--onlyvisible", "--name", "Ferrowind"};
        auto onWindow = [&](std::vector<std::string> actions) {
            std::vector<std::string> args = find;
            args.insert(args.end(), actions.begin(), actions.end());
            tool(args);
        };
        onWindow({"windowfocus", "--sync", "%1", "mousemove", window, "%1", "150", "130", "sleep", "0.3", "click", "1"});
        if (!awaitMark("Probe.Clicked"))
            return;
        onWindow({"mousemove", window, "%1", "320", "120", "sleep", "0.3", "mousedown", "1", "sleep", "0.3",
                  "mousemove", window, "%1", "450", "130", "sleep", "0.3", "mousemove", window, "%1", "650", "150",
                  "sleep", "0.3", "mouseup", "1"});
        if (!awaitMark("Probe.Quest.Key"))
            return;
        onWindow({"mousemove", window, "%1", "900", "600", "type", "--delay", "150", "hi"});
        driven = true;
    });
    const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"}, 120);
    player.join();
    ASSERT_FALSE(noInput) << "the scripts have no InputDeviceManager\n" << run.log;
    ASSERT_TRUE(driven) << "the game never showed " << missed << "\n" << run.stderrText << run.log;
    EXPECT_EQ(0, run.status) << run.stderrText << run.log;
    for (const char* mark : {"Probe.Clicked", "Probe.Quest.Key", "Probe.Typed.hi"})
        EXPECT_NE(std::string::npos, run.log.find(std::string("Sprite_Create (") + mark + ")...ok"))
            << mark << "\n" << run.log;
    EXPECT_EQ(std::string::npos, run.log.find("Probe.Drop.")) << "the quest button took the item";
}
