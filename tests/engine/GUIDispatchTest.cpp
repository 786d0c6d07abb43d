// The GUI system's event dispatch: input events in, GUI events per control and the
// "pass on to the game" answers out.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/GUI/Button.h"
#include "engine/GUI/Control.h"
#include "engine/GUI/EditBox.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Input/InputEvent.h"
#include "engine/Renderer/RenderSystem.h"
#include "tests/support/FakeInputDevices.h"

using namespace EngineCore;
using TestSupport::FakeMouse;

namespace {

std::vector<std::string>* g_log = nullptr;

void Record(const std::string& entry)
{
    if (g_log)
        g_log->push_back(entry);
}

// Logs "<name>:<type>" for every GUI event it receives.
class RecordingControl : public Control {
public:
    explicit RecordingControl(std::string name) : _name(std::move(name)) {}
    void HandleEvent(const std::shared_ptr<GuiEvent>& event) override
    {
        Record(_name + ":" + std::to_string(event->GetType()));
        if (onEvent)
            onEvent(*event);
    }
    std::function<void(const GuiEvent&)> onEvent;

private:
    std::string _name;
};

// Logs "<name>:7:<char>" for the characters that reach it.
class RecordingEditBox : public EditBox {
public:
    explicit RecordingEditBox(std::string name) : _name(std::move(name)) {}
    void HandleEvent(const std::shared_ptr<GuiEvent>& event) override
    {
        Record(_name + ":" + std::to_string(event->GetType()) + ":" + std::to_string(event->GetKeyChar()));
        EditBox::HandleEvent(event);
    }

private:
    std::string _name;
};

enum Kind { kRecord, kRecordDisabled, kEditActive, kEditInactive };

struct ControlSetup {
    const char* name;
    int x, y, w, h;
    float priority;
    Kind kind;
};

// op: move, press, release (button L, R or M), key, keyup (character in x), update.
struct Step {
    const char* op;
    char button;
    int x, y;
    bool passesOn;
    const char* log;  // the GUI events of this step, space separated
};

struct Case {
    const char* name;
    std::vector<ControlSetup> controls;
    std::vector<Step> steps;
};

class GUIDispatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        RenderSystem::Instance().SetCurrentGameState("gui-dispatch");
        GUISystem::Instance().Reset();
        g_log = &log;
    }
    void TearDown() override
    {
        for (const auto& control : registered)
            GUISystem::Instance().UnregisterControl(control);
        GUISystem::Instance().Reset();
        g_log = nullptr;
    }

    std::shared_ptr<Control> Make(const ControlSetup& setup)
    {
        std::shared_ptr<Control> control;
        switch (setup.kind) {
        case kRecord:
        case kRecordDisabled:
            control = std::make_shared<RecordingControl>(setup.name);
            break;
        case kEditActive:
        case kEditInactive: {
            auto box = std::make_shared<RecordingEditBox>(setup.name);
            if (setup.kind == kEditActive)
                box->SetState(EditBox::kActive);
            control = box;
            break;
        }
        }
        control->SetPosition(CPoint{setup.x, setup.y});
        control->SetSize(CSize{setup.w, setup.h});
        control->SetPriority(setup.priority);
        if (setup.kind == kRecordDisabled)
            control->Disable();
        Register(control);
        return control;
    }
    void Register(const std::shared_ptr<Control>& control)
    {
        GUISystem::Instance().RegisterControl(control);
        registered.push_back(control);
    }

    static int ButtonOf(char b) { return b == 'R' ? 2 : (b == 'M' ? 3 : 1); }

    // Runs one step; returns AddEvent's answer (true for update).
    bool Apply(const Step& step)
    {
        GUISystem& gui = GUISystem::Instance();
        const std::string op = step.op;
        if (op == "update") {
            gui.Update(0.016f);
            return true;
        }
        if (op == "key" || op == "keyup") {
            auto event = std::make_shared<KeyboardEvent>();
            event->SetState(op == "key" ? InputEvent::kStatePressed : InputEvent::kStateReleased);
            event->SetKeyChar(step.x);
            return gui.AddEvent(event);
        }
        auto event = std::make_shared<MouseEvent>();
        event->SetAbsolutePosition(step.x, step.y, 0, 0);
        mouse->x = static_cast<float>(step.x);
        mouse->y = static_cast<float>(step.y);
        if (op == "move") {
            event->SetState(InputEvent::kStateAxisChanged);
            event->SetAxisType(MouseDevice::kAllAxis);
        } else {
            const int button = ButtonOf(step.button);
            event->SetKeyType(button);
            const bool press = op == "press";
            event->SetState(press ? InputEvent::kStatePressed : InputEvent::kStateReleased);
            mouse->down[button] = press;
        }
        return gui.AddEvent(event);
    }

    std::string TakeLog()
    {
        std::string joined;
        for (const auto& entry : log)
            joined += (joined.empty() ? "" : " ") + entry;
        log.clear();
        return joined;
    }

    void RunCase(const Case& c)
    {
        SCOPED_TRACE(c.name);
        for (const auto& setup : c.controls)
            Make(setup);
        int index = 0;
        for (const Step& step : c.steps) {
            SCOPED_TRACE("step " + std::to_string(index++) + " " + step.op);
            EXPECT_EQ(step.passesOn, Apply(step));
            EXPECT_EQ(step.log, TakeLog());
        }
    }

    std::shared_ptr<FakeMouse> mouse = std::make_shared<FakeMouse>();
    TestSupport::InputSystemMouse installer{mouse};
    std::vector<std::string> log;
    std::vector<std::shared_ptr<Control>> registered;
};

const ControlSetup A{"A", 0, 0, 100, 100, 1, kRecord};
const ControlSetup B{"B", 200, 0, 100, 100, 2, kRecord};

const Case kCases[] = {
    {"the lowest priority value of two overlapping controls gets the events",
     {{"High", 0, 0, 100, 100, 5, kRecord}, {"Low", 50, 50, 100, 100, 1, kRecord}},
     {{"move", 0, 60, 60, false, "Low:1"},
      {"move", 0, 10, 10, false, "High:1 Low:2"},
      {"move", 0, 500, 500, true, "High:2"}}},
    {"a hover on every move, and B's hover comes before A's leave",
     {A, B},
     {{"move", 0, 10, 10, false, "A:1"},
      {"move", 0, 11, 10, false, "A:1"},
      {"move", 0, 210, 10, false, "B:1 A:2"},
      {"move", 0, 150, 10, true, "B:2"}}},
    {"edges: left and top inside, right and bottom outside",
     {A},
     {{"move", 0, 0, 0, false, "A:1"},
      {"move", 0, 99, 99, false, "A:1"},
      {"move", 0, 100, 50, true, "A:2"},
      {"move", 0, 50, 100, true, ""}}},
    {"press on a control, move off, release: a leave at the release and a second one as nothing is under",
     {A},
     {{"move", 0, 10, 10, false, "A:1"},
      {"press", 'L', 10, 10, false, "A:3"},
      {"move", 0, 150, 10, true, ""},
      {"release", 'L', 150, 10, false, "A:2 A:2"},
      {"move", 0, 10, 10, false, "A:1"}}},
    {"press, move off and back, release on it: a click",
     {A},
     {{"move", 0, 10, 10, false, "A:1"},
      {"press", 'L', 10, 10, false, "A:3"},
      {"move", 0, 150, 10, true, ""},
      {"move", 0, 20, 10, false, "A:1"},
      {"release", 'L', 20, 10, false, "A:5"}}},
    {"a press held on A does not leave A while the pointer wanders over B",
     {A, B},
     {{"move", 0, 10, 10, false, "A:1"},
      {"press", 'L', 10, 10, false, "A:3"},
      {"move", 0, 210, 10, false, "B:1"},
      {"release", 'L', 210, 10, false, "A:2"},
      {"move", 0, 150, 10, true, "B:2"}}},
    {"a right press on a control is consumed and sends nothing",
     {A},
     {{"press", 'R', 10, 10, false, ""},
      {"release", 'R', 10, 10, false, ""},
      {"press", 'M', 10, 10, false, ""},
      {"release", 'M', 10, 10, false, ""}}},
    {"two buttons held: the left release clicks, the press ends with the last release",
     {A},
     {{"press", 'L', 10, 10, false, "A:3"},
      {"press", 'R', 10, 10, false, ""},
      {"release", 'L', 10, 10, false, "A:5"},
      {"move", 0, 10, 10, false, "A:1"},
      {"release", 'R', 10, 10, false, ""},
      {"press", 'L', 10, 10, false, "A:3"}}},
    {"a press outside passes on until the last release, and the GUI sees nothing meanwhile",
     {A},
     {{"press", 'L', 150, 10, true, ""},
      {"move", 0, 10, 10, true, ""},
      {"press", 'R', 10, 10, true, ""},
      {"release", 'R', 10, 10, true, ""},
      {"release", 'L', 10, 10, true, ""},
      {"move", 0, 10, 10, false, "A:1"}}},
    {"a right press outside, then a left press on a control is passed on too",
     {A},
     {{"press", 'R', 150, 10, true, ""},
      {"press", 'L', 10, 10, true, ""},
      {"release", 'L', 10, 10, true, ""},
      {"release", 'R', 10, 10, true, ""},
      {"press", 'L', 10, 10, false, "A:3"}}},
    {"a disabled control is skipped, the one below it gets the events",
     {{"Off", 0, 0, 100, 100, 0, kRecordDisabled}, {"Below", 0, 0, 100, 100, 1, kRecord}},
     {{"move", 0, 10, 10, false, "Below:1"}, {"press", 'L', 10, 10, false, "Below:3"}}},
    {"only a disabled control: nothing is hit and the event passes on",
     {{"Off", 0, 0, 100, 100, 0, kRecordDisabled}},
     {{"move", 0, 10, 10, true, ""}, {"press", 'L', 10, 10, true, ""}, {"release", 'L', 10, 10, true, ""}}},
    {"an active edit box takes key presses with a character; releases and bare keys pass on",
     {{"E", 0, 0, 0, 0, 0, kEditActive}},
     {{"key", 0, 97, 0, false, "E:7:97"},
      {"keyup", 0, 97, 0, true, ""},
      {"key", 0, 0, 0, true, ""},
      {"key", 0, -1, 0, true, ""}}},
    {"an inactive edit box takes nothing",
     {{"E", 0, 0, 0, 0, 0, kEditInactive}},
     {{"key", 0, 97, 0, true, ""}}},
    {"of two active edit boxes the first in dispatch order types",
     {{"Second", 0, 0, 0, 0, 2, kEditActive}, {"First", 0, 0, 0, 0, 1, kEditActive}},
     {{"key", 0, 98, 0, false, "First:7:98"}}},
    {"a move with no control under it clears the hover; the next update replays it",
     {A},
     {{"move", 0, 10, 10, false, "A:1"}, {"update", 0, 0, 0, true, ""}, {"update", 0, 0, 0, true, "A:1"}}},
};

}  // namespace

TEST_F(GUIDispatchTest, EventSequences)
{
    for (const Case& c : kCases) {
        RunCase(c);
        TearDown();
        registered.clear();
        SetUp();
        mouse->down[1] = mouse->down[2] = mouse->down[3] = false;
    }
}

// A control made once the list was sorted takes its place by its priority even when no
// one sets it: the default 0 puts it before a control of priority 5.
TEST_F(GUIDispatchTest, AControlMadeAfterADispatchTakesItsPlaceByTheDefaultPriority)
{
    Make({"Back", 0, 0, 100, 100, 5, kRecord});
    EXPECT_FALSE(Apply({"move", 0, 10, 10, false, ""}));
    EXPECT_EQ("Back:1", TakeLog());

    auto front = std::make_shared<RecordingControl>("Front");
    front->SetPosition(CPoint{0, 0});
    front->SetSize(CSize{100, 100});
    Register(front);
    EXPECT_FALSE(Apply({"move", 0, 20, 10, false, ""}));
    EXPECT_EQ("Front:1 Back:2", TakeLog());
}

TEST_F(GUIDispatchTest, DisabledGuiSwallowsEveryEventAndResetTurnsItOn)
{
    Make(A);
    Make({"E", 0, 0, 0, 0, 0, kEditActive});
    GUISystem::Instance().Disable();
    const Step steps[] = {{"move", 0, 10, 10, false, ""},     {"press", 'L', 10, 10, false, ""},
                          {"release", 'L', 10, 10, false, ""}, {"key", 0, 97, 0, false, ""},
                          {"keyup", 0, 97, 0, false, ""}};
    for (const Step& step : steps) {
        EXPECT_FALSE(Apply(step)) << step.op;
        EXPECT_EQ("", TakeLog()) << step.op;
    }
    GUISystem::Instance().Reset();
    EXPECT_TRUE(GUISystem::Instance().IsEnabled());
    EXPECT_FALSE(Apply({"move", 0, 10, 10, false, ""}));
    EXPECT_EQ("A:1", TakeLog());
}

TEST_F(GUIDispatchTest, ReplayGivesAControlMadeUnderTheRestingPointerItsHover)
{
    EXPECT_TRUE(Apply({"move", 0, 10, 10, true, ""}));
    GUISystem::Instance().Update(0.016f);  // the move arrived this frame: no replay
    EXPECT_EQ("", TakeLog());
    Make(A);
    GUISystem::Instance().Update(0.016f);
    EXPECT_EQ("A:1", TakeLog());
    GUISystem::Instance().Update(0.016f);
    EXPECT_EQ("A:1", TakeLog());
}

TEST_F(GUIDispatchTest, AReleaseNeedsTheMouseDevice)
{
    Make(A);
    EngineCore::InputSystem::Instance().SetDeviceManager(nullptr);
    auto release = std::make_shared<MouseEvent>();
    release->SetState(InputEvent::kStateReleased);
    release->SetKeyType(1);
    try {
        GUISystem::Instance().AddEvent(release);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("Line: 568")) << e.what();
        EXPECT_NE(std::string::npos, std::string(e.what()).find("Error: Internal error.")) << e.what();
    }
}

// A control registered while another state was current is removed from that state's list.
TEST_F(GUIDispatchTest, UnregisterFindsAControlOfAnotherState)
{
    auto a = Make(A);
    RenderSystem::Instance().SetCurrentGameState("gui-dispatch-other");
    GUISystem::Instance().UnregisterControl(a);
    RenderSystem::Instance().SetCurrentGameState("gui-dispatch");
    GUISystem::Instance().Reset();
    EXPECT_TRUE(Apply({"move", 0, 10, 10, true, ""}));
    EXPECT_EQ("", TakeLog());
    EXPECT_EQ(1, a.use_count() - 1);  // only the fixture's list and `a` hold it
}

TEST_F(GUIDispatchTest, ControlsOfOtherStatesSeeNothing)
{
    Make(A);
    RenderSystem::Instance().SetCurrentGameState("gui-dispatch-other");
    GUISystem::Instance().Reset();
    EXPECT_TRUE(Apply({"move", 0, 10, 10, true, ""}));
    EXPECT_EQ("", TakeLog());
    RenderSystem::Instance().SetCurrentGameState("gui-dispatch");
    GUISystem::Instance().Reset();
    EXPECT_FALSE(Apply({"move", 0, 10, 10, false, ""}));
    EXPECT_EQ("A:1", TakeLog());
}

// The action of a button frees the button (its owner lets go and unregisters it),
// and resets the GUI, while the GUI is still dispatching to it.
TEST_F(GUIDispatchTest, AControlFreedByItsOwnActionDuringDispatch)
{
    struct Case {
        const char* name;
        int freeOn;  // 0 over, 1 click, 2 out
        std::vector<Step> steps;
    } cases[] = {
        {"hover", 0, {{"move", 0, 10, 10, false, ""}, {"move", 0, 150, 10, true, ""}}},
        {"click", 1,
         {{"move", 0, 10, 10, false, ""}, {"press", 'L', 10, 10, false, ""}, {"release", 'L', 10, 10, false, ""},
          {"move", 0, 10, 10, true, ""}}},
        {"leave at release", 2,
         {{"move", 0, 10, 10, false, ""}, {"press", 'L', 10, 10, false, ""}, {"move", 0, 150, 10, true, ""},
          {"release", 'L', 150, 10, false, ""}, {"move", 0, 10, 10, true, ""}}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        GUISystem::Instance().Reset();
        auto owner = std::make_shared<std::shared_ptr<Button>>(std::make_shared<Button>());
        Button& button = **owner;
        button.SetSize(CSize{100, 100});
        int runs = 0;
        std::weak_ptr<Button> watch = *owner;
        button.SetAction(c.freeOn, [owner, &runs](void*) {
            ++runs;
            std::shared_ptr<Button> self = *owner;
            GUISystem::Instance().UnregisterControl(self);
            self->SetAction(0, nullptr, nullptr);
            self->SetAction(1, nullptr, nullptr);
            self->SetAction(2, nullptr, nullptr);  // destroys this very function object
            owner->reset();
            GUISystem::Instance().Reset();
        }, nullptr);
        GUISystem::Instance().RegisterControl(*owner);
        for (const Step& step : c.steps)
            EXPECT_EQ(step.passesOn, Apply(step)) << step.op;
        EXPECT_EQ(1, runs);
        EXPECT_TRUE(watch.expired());
        TakeLog();
    }
}
