// The GUI script classes through the real interpreter, with input events sent
// through the real GUI system.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/FileSystem/FileSystem.h"
#include "engine/GUI/Button.h"
#include "engine/GUI/Control.h"
#include "engine/GUI/Cursor.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Input/InputEvent.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Wrappers/GUISystemWrapper.h"
#include "tests/support/FailureText.h"
#include "tests/support/FakeInputDevices.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDocuments.h"

using EngineCore::GUISystem;
using EngineCore::InputEvent;
using EngineCore::RenderSystem;
using EngineCore::ResourceManager;
using GameCore::GUISystemWrapper;
using TestSupport::FakeAnimatedSprite;
using TestSupport::FakeMouse;
using testing::EndsWith;

namespace {

class GUIScriptClassesTest : public testing::Test {
protected:
    void SetUp() override
    {
        // The profile checks look for the per-user folder: keep them out of the real one.
        TestSupport::UseTestDocumentsFolder();
        EngineCore::ResourceFactory::Instance().RegisterResourceCreator(
            EngineCore::Resource::RT_CURSOR, [] { return std::make_shared<EngineCore::Cursor>(); });
        static int count = 0;
        const std::string name = "gui-scripts-" + std::to_string(count++);
        ASSERT_TRUE(GameCore::Application::Instance().CreateGameState(name, gameState));
        GameCore::Application::Instance().SetCurrentGameState(gameState, true);
        RenderSystem::Instance().SetCurrentGameState(name.c_str());
        GUISystem::Instance().Reset();
    }
    void TearDown() override
    {
        GameCore::Application::Instance().SetCurrentGameState(nullptr, true);
        GameCore::Application::Instance().RemoveGameState(gameState, true);
        gameState.reset();
        GUISystem::Instance().Release();
        GUISystemWrapper::SetProfileChoices({});
        RenderSystem::Instance().SetChangeScreenSettingsFunction(nullptr);
        RenderSystem::Instance().UpdateScreenSettingsFunction(nullptr, nullptr);
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_CURSOR);
        ResourceManager::Instance().Clear();
    }

    void Run(const std::string& script) { ASSERT_TRUE(gameState->RunScriptString(script)) << script; }
    std::string FailureOf(const std::string& script)
    {
        return TestSupport::FailureText([&] { gameState->RunScriptString(script); });
    }
    // A global of the game state's interpreter as text ("nil" when unset).
    std::string Global(const std::string& name)
    {
        // Scripts have no standard library: the value leaves the interpreter inside
        // the error text of a sprite name that no creator can make.
        const std::string text = FailureOf("local v = " + name + " if v == nil then v = 'nil' end"
                                           " Sprite():SetName('<<' .. v .. '>>')");
        const size_t begin = text.find("<<");
        const size_t end = text.rfind(">>");
        if (begin == std::string::npos || end == std::string::npos || end < begin)
            return "(unreadable: " + text + ")";
        return text.substr(begin + 2, end - begin - 2);
    }

    bool Mouse(int state, int x, int y, int button = 1)
    {
        auto event = std::make_shared<EngineCore::MouseEvent>();
        event->SetState(state);
        event->SetKeyType(state == InputEvent::kStateAxisChanged ? 0 : button);
        event->SetAbsolutePosition(x, y, 0, 0);
        mouse->x = static_cast<float>(x);
        mouse->y = static_cast<float>(y);
        if (state != InputEvent::kStateAxisChanged)
            mouse->down[button] = state == InputEvent::kStatePressed;
        return GUISystem::Instance().AddEvent(event);
    }
    bool Move(int x, int y) { return Mouse(InputEvent::kStateAxisChanged, x, y); }
    void Click(int x, int y)
    {
        Move(x, y);
        Mouse(InputEvent::kStatePressed, x, y);
        Mouse(InputEvent::kStateReleased, x, y);
    }
    bool Key(int keyChar, int state = InputEvent::kStatePressed)
    {
        auto event = std::make_shared<EngineCore::KeyboardEvent>();
        event->SetState(state);
        event->SetKeyChar(keyChar);
        return GUISystem::Instance().AddEvent(event);
    }
    std::shared_ptr<FakeAnimatedSprite> AddSprite(const std::string& name)
    {
        auto sprite = std::make_shared<FakeAnimatedSprite>();
        ResourceManager::Instance().AddResource(name, sprite);
        return sprite;
    }

    std::shared_ptr<GameCore::GameState> gameState;
    std::shared_ptr<FakeMouse> mouse = std::make_shared<FakeMouse>();
    TestSupport::InputSystemMouse installer{mouse};
};

}  // namespace

// ---- ButtonControl ---------------------------------------------------------------

TEST_F(GUIScriptClassesTest, AClickOnAButtonRunsItsAction)
{
    Run("b = ButtonControl() b:SetPosition(10, 10) b:SetSize(50, 50)"
        " b:RegisterAction(1, '#clicked = (clicked or 0) + 1')");
    EXPECT_FALSE(Move(20, 20));
    EXPECT_FALSE(Mouse(InputEvent::kStatePressed, 20, 20));
    EXPECT_EQ("nil", Global("clicked"));
    EXPECT_FALSE(Mouse(InputEvent::kStateReleased, 20, 20));
    EXPECT_EQ("1", Global("clicked"));
    // Outside the rectangle (right and bottom edges excluded) nothing is clicked.
    Click(60, 20);
    Click(20, 60);
    EXPECT_EQ("1", Global("clicked"));
}

TEST_F(GUIScriptClassesTest, RegisteringActions)
{
    // Each script binds texts, then the button gets over, click, out: the log shows
    // which actions ran, in order.
    struct Case {
        const char* script;
        const char* log;
    } cases[] = {
        {"b:RegisterAllActions('#log = log .. \"on \"', '#log = log .. \"off \"', '#log = log .. \"press \"')",
         "on press off "},
        {"b:RegisterAllActions('', '#log = log .. \"off \"', '')", "off "},
        {"b:RegisterAction(0, '#log = log .. \"a \"') b:RegisterAllActions('', '', '#log = log .. \"c \"')",
         "a c "},
        {"b:RegisterAction(3, '#log = log .. \"three \"')", ""},
        {"b:RegisterAction(1, '')", ""},
        {"b:RegisterAction(1, '#')", ""},
        {"b:RegisterAction(1, 'NotLua')", ""},
        {"b:RegisterAction(1, '#log = log .. \"c \"') b:UnregisterAction(1)", ""},
        {"b:RegisterAction(1, '#log = log .. \"c \"') b:UnregisterAction(1) b:RegisterAction(1, '#log = log .. \"d \"')",
         "d "},
        {"b:RegisterAllActions('#log = log .. \"on \"', '#log = log .. \"off \"', '#log = log .. \"press \"')"
         " b:UnregisterAllActions()",
         ""},
        {"b:RegisterAction(2, '#log = log .. \"x \"') b:UnregisterAction(7)", "x "},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const int x = 100 * row++;
        Run("log = '' b = ButtonControl() b:SetPosition(" + std::to_string(x) + ", 0) b:SetSize(50, 50) " + c.script);
        Click(x + 10, 10);
        Move(x + 70, 10);
        EXPECT_EQ(c.log, Global("log"));
        Run("b = nil");
    }
}

TEST_F(GUIScriptClassesTest, VisibilityAndState)
{
    Run("b = ButtonControl() b:SetSize(50, 50) b:RegisterAction(0, '#over = (over or 0) + 1')"
        " b:RegisterAction(2, '#over = 0')");
    struct Step {
        const char* script;
        const char* visible;
        bool hovers;  // a move onto it runs action 0
    } steps[] = {
        {"", "1", true},
        {"b:SetVisible(0.5)", "0", false},
        {"b:SetVisible(1)", "1", true},
        {"b:SetVisible(0) b:Enable()", "0", false},  // state 0 already: Enable changes nothing
        {"b:SetVisible(2) b:SetVisible(1)", "1", true},
        {"b:Disable()", "0", false},
        {"b:SetVisible(1)", "1", false},  // hit again, but state 3 ignores the events
        {"b:Enable()", "1", true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.script);
        Run(std::string(step.script) + " v = b:IsVisible() over = 0");
        EXPECT_EQ(step.visible, Global("v"));
        Move(10, 10);
        EXPECT_EQ(step.hovers ? "1" : "0", Global("over"));
        Move(100, 100);
    }
}

TEST_F(GUIScriptClassesTest, QuestActionsGetTheItemNameExactly)
{
    Run("function OnQuest(item) got = item end"
        " q = ButtonControl() q:SetSize(50, 50) q:AddQuestAction('OnQuest', 'k\"e\\\\y\\n')"
        " e = ButtonControl() e:SetPosition(100, 0) e:SetSize(50, 50) e:AddQuestAction('', 'plain')");
    auto questUnder = [&](int x) {
        mouse->x = static_cast<float>(x);
        mouse->y = 10;
        std::shared_ptr<EngineCore::Control> control;
        Move(x, 10);  // sorts the controls
        EXPECT_TRUE(GUISystem::Instance().GetQuestControlUnderCursor(control));
        return std::dynamic_pointer_cast<EngineCore::Button>(control);
    };
    auto quest = questUnder(10);
    ASSERT_TRUE(quest);
    EXPECT_FALSE(quest->OnQuestAction("K\"e\\y\n"));
    EXPECT_EQ("nil", Global("got"));
    EXPECT_TRUE(quest->OnQuestAction("k\"e\\y\n"));
    EXPECT_EQ("k\"e\\y\n", Global("got"));
    // No function: accepted, and nothing runs.
    auto empty = questUnder(110);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->OnQuestAction("plain"));
}

TEST_F(GUIScriptClassesTest, AButtonCollectedWhileHoveredOrPressed)
{
    Run("b = ButtonControl() b:SetSize(50, 50) b:RegisterAllActions('#on = 1', '#off = 1', '#pressed = 1')");
    Move(10, 10);
    Mouse(InputEvent::kStatePressed, 10, 10);
    EXPECT_EQ("1", Global("on"));
    Run("b = nil");  // collected at the end of the run
    Move(200, 200);
    Mouse(InputEvent::kStateReleased, 200, 200);
    Move(10, 10);
    EXPECT_EQ("nil", Global("off"));
    EXPECT_EQ("nil", Global("pressed"));
}

TEST_F(GUIScriptClassesTest, CollisionSprites)
{
    auto shaped = AddSprite("Shaped");
    shaped->SetPosition(100, 100);
    shaped->SetTextureRect(0, 0, 40, 20);
    shaped->SetCollisionFunction([](float x, float) { return x < 120; });
    AddSprite("Plain")->SetTextureRect(0, 0, 40, 40);
    auto texture = std::make_shared<TestSupport::SizedTexture>(4, 4);
    ResourceManager::Instance().AddResource("NotASprite", texture);

    Run("a = ButtonControl() a:SetCollisionSprite('Shaped') a:RegisterAction(0, '#hitA = (hitA or 0) + 1')"
        " p = ButtonControl() p:SetCollisionSprite('Plain') p:RegisterAction(0, '#hitP = 1')");
    Move(110, 110);
    Move(130, 110);  // in the square, outside the shape
    Move(10, 10);
    EXPECT_EQ("1", Global("hitA"));
    EXPECT_EQ("nil", Global("hitP"));  // a sprite with no collision test is never hit

    for (const char* name : {"Missing", "NotASprite"}) {
        for (const char* cls : {"ButtonControl", "DraggableImage"}) {
            EXPECT_THAT(FailureOf(std::string(cls) + "():SetCollisionSprite('" + name + "')"),
                        EndsWith(std::string("Error: Resource (") + name + ") not found."))
                << cls << " " << name;
        }
    }
    EXPECT_EQ(1, texture.use_count() - 1);  // refused, never held
}

// ---- DraggableImage --------------------------------------------------------------

TEST_F(GUIScriptClassesTest, DropOutcomes)
{
    struct Case {
        const char* name;
        const char* setup;     // what lies at (300, 300), and changes to the image `d`
        const char* expected;  // the log of script calls the drag and drop made
    } cases[] = {
        {"matching quest button", "q = ButtonControl() q:SetPosition(290, 290) q:SetSize(50, 50)"
                                  " q:AddQuestAction('OnQuest', 'Key\"1')",
         "start(Key\"1) quest(Key\"1) "},
        {"quest button of another item", "q = ButtonControl() q:SetPosition(290, 290) q:SetSize(50, 50)"
                                         " q:AddQuestAction('OnQuest', 'Lamp')",
         "start(Key\"1) drop(Item\\Sprite,5,6,Key\"1) "},
        {"another image", "o = DraggableImage() o:SetPosition(290, 290) o:SetSize(50, 50) o:SetItemName('Rope')",
         "start(Key\"1) interact(Key\"1+Rope) drop(Item\\Sprite,5,6,Key\"1) "},
        {"empty space", "", "start(Key\"1) drop(Item\\Sprite,5,6,Key\"1) "},
        {"no drop function", "q = ButtonControl() q:SetPosition(290, 290) q:SetSize(50, 50)"
                             " q:AddQuestAction('OnQuest', 'Key\"1') d:UnregisterAction(1)"
                             " d:RegisterAction(1, '')",
         "start(Key\"1) "},
        {"no draggable sprite", "d:SetDraggableSprite('Missing')", "start(Key\"1) drop(,0,0,Key\"1) "},
        {"no item name", "d:SetItemName('')", "start() drop(Item\\Sprite,5,6,) "},
    };
    Run("GameLogic = {} function GameLogic.OnQuestItemsInteract(a, b) log = log .. 'interact(' .. a .. '+' .. b .. ') ' end"
        " function OnStart(item) log = log .. 'start(' .. item .. ') ' end"
        " function OnQuest(item) log = log .. 'quest(' .. item .. ') ' end"
        " function OnDrop(s, x, y, item) log = log .. 'drop(' .. s .. ',' .. x .. ',' .. y .. ',' .. item .. ') ' end");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto sprite = AddSprite("Item\\Sprite");
        sprite->SetPosition(5.9f, 6);
        Run("log = '' d = DraggableImage() d:SetSize(50, 50) d:SetItemName('Key\"1')"
            " d:SetDraggableSprite('Item\\\\Sprite') d:RegisterAllActions('OnStart', 'OnDrop') " +
            std::string(c.setup));
        Move(10, 10);
        Mouse(InputEvent::kStatePressed, 10, 10);
        Move(300, 300);
        if (std::string(c.name) != "no draggable sprite") {
            EXPECT_FLOAT_EQ(295, sprite->GetPositionX());
            EXPECT_FLOAT_EQ(296, sprite->GetPositionY());
        }
        Mouse(InputEvent::kStateReleased, 300, 300);
        EXPECT_EQ(c.expected, Global("log"));
        Run("d = nil q = nil o = nil");
        GUISystem::Instance().Reset();
        ResourceManager::Instance().RemoveResource(sprite);
    }
}

TEST_F(GUIScriptClassesTest, DraggableImageStateAndVisibility)
{
    Run("d = DraggableImage() d:SetSize(50, 50) d:RegisterAction(0, 'OnStart')"
        " function OnStart() started = (started or 0) + 1 end");
    struct Step {
        const char* script;
        const char* visible;
        const char* started;
    } steps[] = {
        {"", "1", "1"},
        {"d:Disable()", "0", "1"},
        {"d:SetVisible(1)", "1", "1"},  // hit, but state 2 ignores the press
        {"d:Enable()", "1", "2"},
        {"d:SetVisible(0) d:Enable()", "0", "2"},
        {"d:SetVisible(1)", "1", "3"},
        {"d:RegisterAllActions('', 'OnDrop') d:UnregisterAllActions()", "1", "3"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.script);
        Run(std::string(step.script) + " v = d:IsVisible()");
        EXPECT_EQ(step.visible, Global("v"));
        Click(10, 10);
        EXPECT_EQ(step.started, Global("started"));
    }
}

// ---- EditBoxControl --------------------------------------------------------------

TEST_F(GUIScriptClassesTest, TypingIntoEditBoxes)
{
    Run("text = '' e = EditBoxControl()"
        " e:RegisterAction(1, '#local c = e:GetLastKeyCharValue() text = text .. string_char(c)')"
        " function string_char(c) return ({[97] = 'a', [98] = 'b', [99] = 'c'})[c] or '?' end");
    EXPECT_TRUE(Key('a'));  // inactive until Enable
    Run("e:Enable()");
    EXPECT_FALSE(Key('a'));
    EXPECT_TRUE(Key('a', InputEvent::kStateReleased));
    EXPECT_TRUE(Key(0));  // a key that types nothing passes on
    Run("e:SetVisible(0) v = e:IsVisible()");
    EXPECT_EQ("0", Global("v"));
    EXPECT_FALSE(Key('b'));  // still typing: only Disable stops it
    EXPECT_EQ("ab", Global("text"));
    Run("e:Disable() v = e:IsVisible()");
    EXPECT_EQ("0", Global("v"));
    EXPECT_TRUE(Key('c'));
    EXPECT_EQ("ab", Global("text"));

    // The value is fetched once.
    Run("e:UnregisterAllActions() e:Enable()");
    Key('c');
    Run("first = e:GetLastKeyCharValue() second = e:GetLastKeyCharValue()");
    EXPECT_EQ("99", Global("first"));
    EXPECT_EQ("-1", Global("second"));
}

TEST_F(GUIScriptClassesTest, EditBoxActionNumbers)
{
    struct Case {
        const char* script;
        const char* typed;
    } cases[] = {
        {"e:RegisterAction(1, '#typed = 1')", "1"},
        {"e:RegisterAction(0, '#typed = 1') e:RegisterAction(2, '#typed = 1')", "nil"},
        {"e:RegisterAllActions('#typed = 1', '#typed = 1', '')", "nil"},
        {"e:RegisterAllActions('', '', '#typed = 1')", "1"},
        {"e:RegisterAction(1, '#typed = 1') e:UnregisterAction(1)", "nil"},
        {"e:RegisterAction(1, '#typed = 1') e:UnregisterAction(0)", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Run(std::string("typed = nil e = EditBoxControl() e:Enable() ") + c.script);
        Key('x');
        EXPECT_EQ(c.typed, Global("typed"));
        Run("e = nil");
    }
    EXPECT_THAT(FailureOf("EditBoxControl():RegisterAllActions('', 5, {})"), testing::HasSubstr("string"));
}

TEST_F(GUIScriptClassesTest, OfTwoActiveEditBoxesTheFirstTypes)
{
    Run("a = EditBoxControl() b = EditBoxControl() a:Enable() b:Enable()"
        " a:RegisterAction(1, '#who = \"a\"') b:RegisterAction(1, '#who = \"b\"')");
    Key('x');
    EXPECT_EQ("a", Global("who"));
    Run("a:Disable()");
    Key('x');
    EXPECT_EQ("b", Global("who"));
}

// ---- GUISystem -------------------------------------------------------------------

TEST_F(GUIScriptClassesTest, ScreenSettingsAreAppliedThenStored)
{
    // What is applied and what is stored, in order: saving the profiles records the
    // render system's settings, so the choice is stored once it is applied.
    std::vector<std::string> applied;
    RenderSystem::Instance().SetChangeScreenSettingsFunction([&](const RenderSystem::ScreenSettings& s) {
        applied.push_back(std::to_string(s.bpp) + "/" + std::to_string(s.width) + "x" + std::to_string(s.height) +
                          (s.windowed ? " w" : " f") + (s.stretch ? "s" : ""));
    });
    GUISystemWrapper::ProfileChoices choices;
    choices.selected = [] { return true; };
    choices.storeScreen = [&](bool w, bool s) {
        applied.push_back(std::string("stored ") + (w ? "w" : "f") + (s ? "s" : ""));
        return true;
    };
    choices.storeSystemCursor = [](bool) { return true; };
    GUISystemWrapper::SetProfileChoices(choices);

    struct Case {
        const char* args;
        std::vector<std::string> applied;
        const char* stored;
        const char* read;
    } cases[] = {
        {"32, 800, 600, 1, 0", {"32/800x600 w"}, "w", "32 800 600 1 0"},
        {"32, 1024, 768, 0, 0", {"32/1024x768 w", "32/1024x768 f"}, "f", "32 1024 768 0 0"},
        {"16, 640, 480, 0, 1", {"16/640x480 fs"}, "fs", "16 640 480 0 1"},
        {"32, 800, 600, 1.7, 0", {"32/800x600 w"}, "w", "32 800 600 1 0"},
        {"32, 800, 600, 2, 0.9", {"32/800x600 w", "32/800x600 f"}, "f", "32 800 600 0 0"},
    };
    Run("g = GUISystem()");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        applied.clear();
        Run(std::string("g:SetScreenSettings(") + c.args + ")"
            " local b, w, h, win, st = g:GetScreenSettings() read = b .. ' ' .. w .. ' ' .. h .. ' ' .. win .. ' ' .. st");
        std::vector<std::string> expected = c.applied;
        expected.push_back(std::string("stored ") + c.stored);
        EXPECT_EQ(expected, applied);
        EXPECT_EQ(c.read, Global("read"));
    }
}

TEST_F(GUIScriptClassesTest, WithoutASelectedProfile)
{
    int applied = 0;
    RenderSystem::Instance().SetChangeScreenSettingsFunction([&](const RenderSystem::ScreenSettings&) { ++applied; });
    Run("g = GUISystem()");
    EXPECT_THAT(FailureOf("g:SetScreenSettings(32, 320, 200, 1, 0)"),
                EndsWith("Error: Selected profile is not found."));
    EXPECT_EQ(0, applied);
    EXPECT_NE(320, RenderSystem::Instance().GetScreenSettings().width);
    // The cursor switch happens first, the error comes after it.
    EXPECT_THAT(FailureOf("g:EnableSystemCursor(1)"), EndsWith("Error: Selected profile is not found."));
    EXPECT_TRUE(GUISystem::Instance().IsEnabledSystemCursor());
    EXPECT_THAT(FailureOf("g:EnableSystemCursor(0)"), EndsWith("Error: Selected profile is not found."));
    EXPECT_FALSE(GUISystem::Instance().IsEnabledSystemCursor());
}

TEST_F(GUIScriptClassesTest, ScreenSettingsHook)
{
    struct Case {
        const char* text;
        const char* after;  // the counter after one change of the settings
    } cases[] = {
        {"#changed = changed + 1", "1"},
        {"#", "0"},
        {"", "0"},
        {"changed = changed + 1", "0"},  // installed, but not Lua text
    };
    // A state that is current but not yet entered (a loader may be entering it) runs no
    // hook: the change is held and reaches the hook once, after the state is entered.
    Run("g = GUISystem() changed = 0 g:SetupScreenSettingsUpdater('#changed = changed + 1')");
    RenderSystem::Instance().SetChangedScreenSettings(RenderSystem::Instance().GetScreenSettings());
    GUISystemWrapper::DeliverHeldScreenSettingsChange();
    EXPECT_EQ("0", Global("changed"));
    TestSupport::TempFolder data;
    data.WriteFile("gui-hook/entered.lua", "Entered = 1\n");
    EngineCore::FileSystem::Instance().AddDirectory(data.Path());
    GameCore::Application& app = GameCore::Application::Instance();
    const std::string gameApi = app.GetStartupScript();
    app.SetStartupScript("");
    gameState->SetStartupScript("gui-hook/entered.lua");
    gameState->OnEnter();
    app.SetStartupScript(gameApi);
    ASSERT_EQ("1", Global("Entered"));
    EXPECT_EQ("0", Global("changed"));
    GUISystemWrapper::DeliverHeldScreenSettingsChange();
    GUISystemWrapper::DeliverHeldScreenSettingsChange();
    EXPECT_EQ("1", Global("changed")) << "the held change reached the hook once";

    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Run(std::string("changed = 0 g:SetupScreenSettingsUpdater('") + c.text + "')");
        RenderSystem::Instance().SetChangedScreenSettings(RenderSystem::Instance().GetScreenSettings());
        EXPECT_EQ(c.after, Global("changed"));
    }
    // With no game state the hook is skipped.
    Run("g:SetupScreenSettingsUpdater('#changed = changed + 1')");
    GameCore::Application::Instance().SetCurrentGameState(nullptr, true);
    RenderSystem::Instance().SetChangedScreenSettings(RenderSystem::Instance().GetScreenSettings());
    GameCore::Application::Instance().SetCurrentGameState(gameState, true);
    EXPECT_EQ("0", Global("changed"));
}

TEST_F(GUIScriptClassesTest, TheCursorIsMadeOnceAndDriven)
{
    auto hand = AddSprite("Hand");
    hand->SetTexture(std::make_shared<TestSupport::SizedTexture>(64, 16));
    hand->SetTextureRect(0, 0, 16, 16);
    // Before any sprite the player controls do nothing; the frame count needs one.
    Run("g = GUISystem() g:CursorPlay() g:CursorStop() g:CursorPause() g:CursorSetAnimationSpeed(2)"
        " g:CursorSetStartAnimationFrame(1)");
    EXPECT_THAT(FailureOf("g:CursorSetNumAnimatedFrames(4)"),
                EndsWith("Error: Cursor::SetNumAnimatedFrames call before sprite initializing."));
    const auto cursor = GUISystem::Instance().GetCursorResource();
    ASSERT_TRUE(cursor);
    EXPECT_TRUE(ResourceManager::Instance().IsExist("Cursor.System"));

    Run("g:SetCursor('Hand') g2 = GUISystem()");
    EXPECT_EQ(cursor, GUISystem::Instance().GetCursorResource());
    EXPECT_EQ(hand, std::static_pointer_cast<EngineCore::Cursor>(cursor)->GetSprite());
    EXPECT_THAT(FailureOf("g:SetCursor('Nowhere')"), EndsWith("Error: Resource (Nowhere) not found."));
    EXPECT_EQ(hand, std::static_pointer_cast<EngineCore::Cursor>(cursor)->GetSprite());

    Run("g:CursorSetNumAnimatedFrames(4) g:CursorSetAnimationSpeed(1) g:CursorPlay() g:ShowCursor()"
        " shown = g:IsCursorVisible() g:HideCursor() hid = g:IsCursorVisible()"
        " g:ShowCursor() again = g:IsCursorVisible()");
    EXPECT_EQ("1", Global("shown"));
    EXPECT_EQ("0", Global("hid"));  // the custom cursor hides while it is in use
    EXPECT_EQ("1", Global("again"));
    GUISystem::Instance().Update(0.5f);
    GUISystem::Instance().Update(0.1f);
    float x, y, w, h;
    hand->GetTextureRect(x, y, w, h);
    EXPECT_FLOAT_EQ(16, x);  // sampled at 0.5 s of 1: frame 1
    Run("g:CursorStop()");
    hand->GetTextureRect(x, y, w, h);
    EXPECT_FLOAT_EQ(0, x);

    GUISystemWrapper::ProfileChoices choices;
    choices.selected = [] { return true; };
    choices.storeScreen = [](bool, bool) { return true; };
    choices.storeSystemCursor = [](bool) { return true; };
    GUISystemWrapper::SetProfileChoices(choices);
    Run("g:Disable() off = g:IsEnabled() g:Enable() on = g:IsEnabled()"
        " g:EnableSystemCursor(1) sys = g:IsEnabledSystemCursor() hidden = g:IsCursorVisible()"
        " g:ShowCursor() stillHidden = g:IsCursorVisible() g:EnableSystemCursor(0) back = g:IsCursorVisible()");
    EXPECT_EQ("0", Global("off"));
    EXPECT_EQ("1", Global("on"));
    EXPECT_EQ("1", Global("sys"));
    EXPECT_EQ("0", Global("hidden"));
    EXPECT_EQ("0", Global("stillHidden"));
    EXPECT_EQ("1", Global("back"));
}
