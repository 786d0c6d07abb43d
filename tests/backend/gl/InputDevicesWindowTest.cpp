// The back-end's mouse and keyboard over a real (offscreen) window: SDL events pumped by
// the frame loop reach the engine devices that Open installed.
#include <SDL.h>

#include <memory>
#include <vector>

#include "backend/Base/HGEKeyboardDevice.h"
#include "backend/Base/HGEMouseDevice.h"
#include "engine/Input/DeviceManager.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/InputSystem.h"
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using EngineCore::InputEvent;
using EngineCore::KeyboardEvent;
using EngineCore::MouseEvent;

namespace {

void PushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scan, Uint8 repeat = 0)
{
    SDL_Event ev{};
    ev.type = type;
    ev.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    ev.key.repeat = repeat;
    ev.key.keysym.sym = sym;
    ev.key.keysym.scancode = scan;
    SDL_PushEvent(&ev);
}

void PushButton(Uint32 type, Uint8 button, int x, int y)
{
    SDL_Event ev{};
    ev.type = type;
    ev.button.button = button;
    ev.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    ev.button.x = x;
    ev.button.y = y;
    SDL_PushEvent(&ev);
}

std::vector<std::shared_ptr<InputEvent>> Drain(EngineCore::InputDevice& device)
{
    std::vector<std::shared_ptr<InputEvent>> events;
    std::shared_ptr<InputEvent> event;
    while (device.GetNextEvent(event))
        events.push_back(event);
    return events;
}

}  // namespace

TEST(InputDevicesWindow, OpenInstallsTheDevicesAndTheyDeliverThePumpedEvents)
{
    auto manager = std::make_shared<EngineCore::DeviceManager>();
    EngineCore::InputSystem::Instance().SetDeviceManager(manager);
    {
        BackendWindow window;
        window.Open();
        std::shared_ptr<EngineCore::InputDevice> mouseDevice, keyboardDevice, joystick;
        ASSERT_TRUE(manager->GetDevice(1, mouseDevice));
        ASSERT_TRUE(manager->GetDevice(2, keyboardDevice));
        EXPECT_FALSE(manager->GetDevice(3, joystick));
        auto* mouse = dynamic_cast<MobrixCore::HGEMouseDevice*>(mouseDevice.get());
        auto* keyboard = dynamic_cast<MobrixCore::HGEKeyboardDevice*>(keyboardDevice.get());
        ASSERT_TRUE(mouse && keyboard);

        std::vector<std::shared_ptr<InputEvent>> keys, buttons;
        float axisX = -1, axisY = -1;
        int leftHeld = -1, keyHeld = -1;
        window.onUpdate = [&](int frame) {
            if (frame == 1) {
                PushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
                PushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, 1);
                PushKey(SDL_KEYUP, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
                PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
            }
            if (frame == 2) {
                // The device manager's order: the mouse's update drains the whole queue.
                manager->Update(0.0f);
                buttons = Drain(*mouse);
                keys = Drain(*keyboard);
                axisX = mouse->GetAxisAbs(2);
                axisY = mouse->GetAxisAbs(1);
                leftHeld = mouse->GetKeyStatus(1);
                keyHeld = keyboard->GetKeyStatus(34);
                mouse->SetMousePosition(30, 40);
            }
            if (frame == 3) {
                axisX = mouse->GetAxisAbs(2);
                axisY = mouse->GetAxisAbs(1);
            }
        };
        window.RunFrames(4);

        ASSERT_EQ(keys.size(), 3u);
        const int expected[][2] = {{1, 34}, {1, 34}, {2, 12}};
        for (size_t i = 0; i < keys.size(); ++i) {
            const KeyboardEvent& key = static_cast<const KeyboardEvent&>(*keys[i]);
            EXPECT_EQ(key.GetState(), expected[i][0]) << i;
            EXPECT_EQ(key.GetKeyType(), expected[i][1]) << i;
        }
        ASSERT_FALSE(buttons.empty());
        const MouseEvent& click = static_cast<const MouseEvent&>(*buttons.back());
        EXPECT_EQ(click.GetState(), InputEvent::kStatePressed);
        EXPECT_EQ(click.GetKeyType(), 1);
        EXPECT_EQ(click.GetAbsolutePosition().x, 10);
        EXPECT_EQ(click.GetAbsolutePosition().y, 20);
        EXPECT_EQ(leftHeld, 1);
        EXPECT_EQ(keyHeld, 1);
        // Placed by game coordinates, read back the same (windowed: scale 1, no offset).
        EXPECT_EQ(axisX, 30.0f);
        EXPECT_EQ(axisY, 40.0f);
    }
    EngineCore::InputSystem::Instance().SetDeviceManager(nullptr);
}
