// The controls' own state machines, sprite following and hit tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/GUI/Button.h"
#include "engine/GUI/DraggableImage.h"
#include "engine/GUI/EditBox.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "tests/support/FakeSprites.h"

using namespace EngineCore;
using TestSupport::FakeAnimatedSprite;

namespace {

std::shared_ptr<GuiEvent> Event(GuiEvent::EventType type, int x = 0, int y = 0)
{
    auto event = std::make_shared<GuiEvent>();
    event->SetType(type);
    event->SetMousePosition(CPoint{x, y});
    return event;
}

// A control's hit test as the GUI system asks it.
class HitProbe : public Button {
public:
    bool Hits(int x, int y) const { return IsCollided(CPoint{x, y}); }
};

class DragProbe : public DraggableImage {
public:
    bool Hits(int x, int y) const { return IsCollided(CPoint{x, y}); }
};

class GUIControlsTest : public testing::Test {
protected:
    void SetUp() override { RenderSystem::Instance().SetCurrentGameState("gui-controls"); }
    void TearDown() override { GUISystem::Instance().Reset(); }
};

}  // namespace

TEST_F(GUIControlsTest, ButtonStateMachine)
{
    // o over, x out, p press, c click; N/D/H SetState 0/3/1; R reset; V Disable; E Enable.
    // With clickDisables the click action calls SetState(3).
    struct Case {
        const char* ops;
        bool clickDisables;
        const char* actions;
        int state;
        bool enabled;
    } cases[] = {
        {"ooo", false, "0", 1, true},
        {"opc", false, "0 1", 1, true},
        {"pc", false, "1", 1, true},
        {"c", false, "", 0, true},
        {"x", false, "", 0, true},
        {"opxx", false, "0 2", 0, true},
        {"opxo", false, "0 2 0", 1, true},
        {"oxo", false, "0 2 0", 1, true},
        {"opc", true, "0 1", 3, false},
        {"D", false, "", 3, false},
        {"DH", false, "", 3, false},
        {"Dopcx", false, "", 3, false},
        {"DN", false, "", 0, true},
        {"DNo", false, "0", 1, true},
        // A reset brings a disabled button all the way back.
        {"DR", false, "", 0, true},
        {"DRo", false, "0", 1, true},
        {"oR", false, "0", 0, true},
        // Disabled by its flag alone: state 0 stays, SetState(0) changes nothing.
        {"VN", false, "", 0, false},
        {"VNE", false, "", 0, true},
        // A leave re-enables a button whose flag alone was turned off.
        {"oVx", false, "0 2", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ops);
        Button button;
        std::string actions;
        for (int a = 0; a < 3; ++a) {
            button.SetAction(a, [&, a](void*) {
                actions += (actions.empty() ? "" : " ") + std::to_string(a);
                if (a == 1 && c.clickDisables)
                    button.SetState(Button::kDisabled);
            }, nullptr);
        }
        for (const char* op = c.ops; *op; ++op) {
            switch (*op) {
            case 'o': button.HandleEvent(Event(GuiEvent::kMouseOver)); break;
            case 'x': button.HandleEvent(Event(GuiEvent::kMouseOut)); break;
            case 'p': button.HandleEvent(Event(GuiEvent::kPress)); break;
            case 'c': button.HandleEvent(Event(GuiEvent::kClick)); break;
            case 'N': button.SetState(Button::kNormal); break;
            case 'D': button.SetState(Button::kDisabled); break;
            case 'H': button.SetState(Button::kMouseOver); break;
            case 'R': button.Reset(); break;
            case 'V': button.Disable(); break;
            case 'E': button.Enable(); break;
            }
        }
        EXPECT_EQ(c.actions, actions);
        EXPECT_EQ(c.state, button.GetState());
        EXPECT_EQ(c.enabled, button.IsVisible());
    }
}

TEST_F(GUIControlsTest, ActionsAndTheirNumbers)
{
    Button button;
    std::vector<void*> seen;
    int data = 0;
    button.SetAction(3, [&](void* d) { seen.push_back(d); }, &data);  // ignored
    button.SetAction(-1, [&](void* d) { seen.push_back(d); }, &data);
    button.SetAction(0, [&](void* d) { seen.push_back(d); }, &data);
    button.HandleEvent(Event(GuiEvent::kMouseOver));
    button.HandleEvent(Event(GuiEvent::kPress));
    button.HandleEvent(Event(GuiEvent::kClick));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(&data, seen[0]);

    // An action that replaces itself while it runs.
    Button replacing;
    int runs = 0;
    replacing.SetAction(0, [&](void*) {
        ++runs;
        replacing.SetAction(0, nullptr, nullptr);
    }, nullptr);
    replacing.HandleEvent(Event(GuiEvent::kMouseOver));
    replacing.HandleEvent(Event(GuiEvent::kMouseOut));
    replacing.HandleEvent(Event(GuiEvent::kMouseOver));
    EXPECT_EQ(1, runs);
}

TEST_F(GUIControlsTest, QuestItemsMatchExactly)
{
    Button button;
    EXPECT_FALSE(button.IsQuestedControl());
    EXPECT_FALSE(button.OnQuestAction("key"));
    std::vector<std::string> accepted;
    button.SetQuestAction([&](void*, const char* name) { accepted.push_back(name); }, "key", nullptr);
    EXPECT_TRUE(button.IsQuestedControl());
    EXPECT_FALSE(button.OnQuestAction("Key"));
    EXPECT_FALSE(button.OnQuestAction("key "));
    EXPECT_FALSE(button.OnQuestAction(nullptr));
    EXPECT_TRUE(button.OnQuestAction("key"));
    EXPECT_EQ(std::vector<std::string>{"key"}, accepted);
}

TEST_F(GUIControlsTest, FollowsItsSpriteRectangle)
{
    auto sprite = std::make_shared<FakeAnimatedSprite>();
    sprite->SetPosition(100, 50);
    sprite->SetHotSpot(10, 10);
    sprite->SetTextureRect(0, 0, 32, 16);
    Button button;
    button.SetCollisionSprite(sprite);
    CRect r = button.GetViewRect();
    EXPECT_EQ(90, r.left);
    EXPECT_EQ(40, r.top);
    EXPECT_EQ(122, r.right);  // x 90 to 121
    EXPECT_EQ(72, r.bottom);  // y 40 to 71

    struct Change {
        const char* what;
        std::function<void()> apply;
        int left, top, right, bottom;
    } changes[] = {
        {"move", [&] { sprite->SetPosition(200.7f, 60); }, 190, 50, 222, 82},
        {"hot spot", [&] { sprite->SetHotSpot(0, 0); }, 200, 60, 232, 92},
        {"texture rect", [&] { sprite->SetTextureRect(0, 0, 8, 40.9f); }, 200, 60, 240, 100},
        {"negative", [&] { sprite->SetPosition(-5.5f, -0.5f); }, -5, 0, 35, 40},
        // Scale and rotation are not looked at.
        {"scale", [&] { sprite->SetHorizontalScale(3); }, -5, 0, 35, 40},
    };
    for (const Change& change : changes) {
        change.apply();
        r = button.GetViewRect();
        EXPECT_EQ(change.left, r.left) << change.what;
        EXPECT_EQ(change.top, r.top) << change.what;
        EXPECT_EQ(change.right, r.right) << change.what;
        EXPECT_EQ(change.bottom, r.bottom) << change.what;
    }

    // Let go: the rectangle stays where it was and no longer follows.
    button.SetCollisionSprite(nullptr);
    sprite->SetPosition(500, 500);
    EXPECT_EQ(-5, button.GetViewRect().left);
}

TEST_F(GUIControlsTest, TwoControlsOnOneSprite)
{
    auto sprite = std::make_shared<FakeAnimatedSprite>();
    sprite->SetTextureRect(0, 0, 10, 10);
    auto first = std::make_unique<Button>();
    DraggableImage second;
    first->SetCollisionSprite(sprite);
    second.SetCollisionSprite(sprite);
    // The first lets go: the second keeps following.
    first->SetCollisionSprite(nullptr);
    sprite->SetPosition(30, 40);
    EXPECT_EQ(30, second.GetViewRect().left);
    EXPECT_EQ(0, first->GetViewRect().left);

    // A control destroyed while its hook is still on a sprite: the hook does nothing.
    first->SetCollisionSprite(sprite);
    first.reset();
    sprite->SetPosition(70, 80);
    EXPECT_EQ(30, second.GetViewRect().left);
}

TEST_F(GUIControlsTest, HitTests)
{
    auto shaped = std::make_shared<FakeAnimatedSprite>();
    shaped->SetCollisionFunction([](float x, float y) { return x > y; });
    auto plain = std::make_shared<FakeAnimatedSprite>();

    HitProbe none;
    EXPECT_TRUE(none.Hits(5, 5));
    HitProbe withPlain;
    withPlain.SetCollisionSprite(plain);
    EXPECT_FALSE(withPlain.Hits(5, 5));
    HitProbe withShape;
    withShape.SetCollisionSprite(shaped);
    EXPECT_TRUE(withShape.Hits(6, 5));
    EXPECT_FALSE(withShape.Hits(5, 6));

    DragProbe drag;
    drag.SetCollisionSprite(plain);
    EXPECT_FALSE(drag.Hits(5, 5));
    drag.HandleEvent(Event(GuiEvent::kPress));
    EXPECT_TRUE(drag.Hits(5, 5));
    EXPECT_TRUE(drag.IsDragAndDropEnable());
}

TEST_F(GUIControlsTest, DraggingMovesTheSpriteAndReportsTheDrop)
{
    auto sprite = std::make_shared<FakeAnimatedSprite>();
    sprite->SetPosition(180.9f, 90);
    DraggableImage image;
    image.SetDraggableSprite(sprite);
    std::vector<std::string> actions;
    image.SetAction(0, [&](void*) { actions.push_back("start"); }, nullptr);
    image.SetAction(1, [&](void*) {
        actions.push_back("drop at " + std::to_string(image.GetStartObjectPosition().x) + "," +
                          std::to_string(image.GetStartObjectPosition().y));
    }, nullptr);

    image.HandleEvent(Event(GuiEvent::kMouseOver, 250, 150));  // not dragging: nothing moves
    EXPECT_FLOAT_EQ(180.9f, sprite->GetPositionX());
    image.HandleEvent(Event(GuiEvent::kPress, 200, 100));
    EXPECT_EQ(DraggableImage::kDragging, image.GetState());
    image.HandleEvent(Event(GuiEvent::kMouseOver, 250, 150));
    EXPECT_FLOAT_EQ(230, sprite->GetPositionX());
    EXPECT_FLOAT_EQ(140, sprite->GetPositionY());
    image.HandleEvent(Event(GuiEvent::kMouseOut, 0, 0));  // ignored
    image.HandleEvent(Event(GuiEvent::kClick, 250, 150));
    EXPECT_EQ((std::vector<std::string>{"start", "drop at 180,90"}), actions);
    EXPECT_EQ(DraggableImage::kNormal, image.GetState());
    EXPECT_FALSE(image.IsDragAndDropEnable());
    image.HandleEvent(Event(GuiEvent::kClick, 250, 150));  // no drag: no drop
    EXPECT_EQ(2u, actions.size());

    // Disabled: presses are ignored; a reset stops a drag and re-enables.
    image.SetState(DraggableImage::kDisabled);
    EXPECT_FALSE(image.IsVisible());
    image.HandleEvent(Event(GuiEvent::kPress, 1, 1));
    EXPECT_FALSE(image.IsDragAndDropEnable());
    image.Reset();
    EXPECT_TRUE(image.IsVisible());
    image.HandleEvent(Event(GuiEvent::kPress, 1, 1));
    EXPECT_TRUE(image.IsDragAndDropEnable());
    image.Reset();
    EXPECT_FALSE(image.IsDragAndDropEnable());
    EXPECT_EQ(DraggableImage::kNormal, image.GetState());

    // Without a draggable sprite a drag moves nothing and the drop still runs.
    DraggableImage bare;
    int drops = 0;
    bare.SetAction(1, [&](void*) { ++drops; }, nullptr);
    bare.HandleEvent(Event(GuiEvent::kPress, 5, 5));
    bare.HandleEvent(Event(GuiEvent::kMouseOver, 50, 50));
    bare.HandleEvent(Event(GuiEvent::kClick, 50, 50));
    EXPECT_EQ(1, drops);
    EXPECT_EQ(0, bare.GetStartObjectPosition().x);
}

TEST_F(GUIControlsTest, EditBoxTakesCharactersOnlyWhileActive)
{
    EditBox box;
    int changes = 0;
    box.SetAction(1, [&](void*) { ++changes; }, nullptr);
    auto typed = [&](int c) {
        auto e = Event(GuiEvent::kCharacter);
        e->SetKeyChar(c);
        box.HandleEvent(e);
    };
    EXPECT_EQ(EditBox::kInactive, box.GetState());
    typed('a');
    EXPECT_EQ(-1, box.PopLastKeyChar());
    box.SetState(EditBox::kActive);
    typed('a');
    box.HandleEvent(Event(GuiEvent::kClick));
    EXPECT_EQ(97, box.PopLastKeyChar());
    EXPECT_EQ(-1, box.PopLastKeyChar());
    EXPECT_EQ(1, changes);
    box.Reset();
    typed('b');
    EXPECT_EQ(-1, box.PopLastKeyChar());
    EXPECT_EQ(EditBox::kInactive, box.GetState());
    // Disable through the state clears the flag; activation sets it again.
    box.SetState(EditBox::kActive);
    box.SetState(EditBox::kInactive);
    EXPECT_FALSE(box.IsVisible());
    box.SetState(EditBox::kActive);
    EXPECT_TRUE(box.IsVisible());
}
