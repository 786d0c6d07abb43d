#include "backend/Base/HGEInputDevice.h"

#include "backend/Base/HGESystemObject.h"
#include "engine/Input/InputDevice.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/MouseDevice.h"

namespace MobrixCore {

namespace {

// HGE key code -> engine key number. Shift, control and alt arrive as one code each and
// become the left-hand keys; the right-hand keys and PrintScreen are never produced.
struct KeyTable {
    int keys[256] = {};
    int codes[104] = {};

    void Set(int code, int key)
    {
        keys[code] = key;
        if (codes[key] == 0)
            codes[key] = code;
    }

    KeyTable()
    {
        const int rows[][2] = {
            {0x08, 1},  {0x09, 2},  {0x0D, 3},  {0x10, 4},  {0x11, 6},  {0x12, 8},  {0x13, 10}, {0x14, 11},
            {0x1B, 12}, {0x20, 13}, {0x21, 14}, {0x22, 15}, {0x23, 16}, {0x24, 17}, {0x2D, 18}, {0x2E, 19},
            {0x25, 20}, {0x26, 21}, {0x27, 22}, {0x28, 23}, {0x30, 33}, {0x5B, 60}, {0x5C, 61}, {0x5D, 62},
            {0x6A, 73}, {0x6B, 74}, {0x6D, 75}, {0x6E, 76}, {0x6F, 77}, {0xDE, 78}, {0xBC, 79}, {0xBD, 80},
            {0xBE, 81}, {0xBF, 82}, {0xBB, 83}, {0xDB, 84}, {0xDD, 85}, {0xDC, 86}, {0xBA, 87}, {0xC0, 88},
            {0x90, 101}, {0x91, 102},
        };
        for (const auto& row : rows)
            Set(row[0], row[1]);
        for (int digit = 1; digit <= 9; ++digit)
            Set(0x30 + digit, 23 + digit);
        for (int letter = 0; letter < 26; ++letter)
            Set(0x41 + letter, 34 + letter);
        for (int pad = 0; pad <= 9; ++pad)
            Set(0x60 + pad, 63 + pad);
        for (int f = 0; f < 12; ++f)
            Set(0x70 + f, 89 + f);
    }
};

const KeyTable& Keys()
{
    static const KeyTable table;
    return table;
}

int Rounded(float value) { return static_cast<int>(value + 0.5f); }

}  // namespace

HGEInputDevice::HGEInputDevice() = default;
HGEInputDevice::~HGEInputDevice() = default;

HGEInputDevice& HGEInputDevice::Instance()
{
    static HGEInputDevice instance;
    return instance;
}

int HGEInputDevice::KeyOfCode(int hgeKey) { return hgeKey >= 0 && hgeKey < 256 ? Keys().keys[hgeKey] : 0; }

int HGEInputDevice::CodeOfKey(int engineKey) { return engineKey > 0 && engineKey < 104 ? Keys().codes[engineKey] : 0; }

int HGEInputDevice::ButtonOfCode(int hgeButton)
{
    switch (hgeButton) {
    case HGEK_LBUTTON:
        return EngineCore::MouseDevice::kLeftButton;
    case HGEK_RBUTTON:
        return EngineCore::MouseDevice::kRightButton;
    case HGEK_MBUTTON:
        return EngineCore::MouseDevice::kMiddleButton;
    default:
        return 0;
    }
}

HGEInputDevice::PointerMapping HGEInputDevice::CurrentMapping(HGE* hge)
{
    PointerMapping mapping;
    if (!hge)
        return mapping;
    mapping.hscale = hge->Gfx_GetHorizontalScale();
    mapping.vscale = hge->Gfx_GetVerticalScale();
    mapping.hoffset = hge->Gfx_GetHorizontalOffset();
    mapping.voffset = hge->Gfx_GetVerticalOffset();
    return mapping;
}

std::shared_ptr<EngineCore::InputEvent> HGEInputDevice::Convert(const hgeInputEvent& e, const PointerMapping& mapping,
                                                                int& deviceType)
{
    // A click lands where the pointer is, in every screen mode: no correction beyond
    // the display's own scale and offset.
    const int x = Rounded(mapping.GameX(e.x));
    const int y = Rounded(mapping.GameY(e.y));
    switch (e.type) {
    case INPUT_KEYDOWN:
    case INPUT_KEYUP: {
        auto key = std::make_shared<EngineCore::KeyboardEvent>();
        key->SetKeyChar(e.chr);
        key->SetState(e.type == INPUT_KEYDOWN ? EngineCore::InputEvent::kStatePressed
                                              : EngineCore::InputEvent::kStateReleased);
        key->SetKeyType(KeyOfCode(e.key));
        deviceType = EngineCore::InputDevice::kDeviceKeyboard;
        return key;
    }
    case INPUT_MBUTTONDOWN:
    case INPUT_MBUTTONUP:
    case INPUT_MOUSEMOVE:
    case INPUT_MOUSEWHEEL: {
        auto mouse = std::make_shared<EngineCore::MouseEvent>();
        if (e.type == INPUT_MBUTTONDOWN || e.type == INPUT_MBUTTONUP) {
            mouse->SetState(e.type == INPUT_MBUTTONDOWN ? EngineCore::InputEvent::kStatePressed
                                                        : EngineCore::InputEvent::kStateReleased);
            mouse->SetKeyType(ButtonOfCode(e.key));
        } else {
            mouse->SetState(EngineCore::InputEvent::kStateAxisChanged);
            mouse->SetAxisType(e.type == INPUT_MOUSEMOVE ? EngineCore::MouseDevice::kAllAxis
                                                         : EngineCore::MouseDevice::kRollAxis);
        }
        mouse->SetAbsolutePosition(x, y, e.wheel, 0);
        deviceType = EngineCore::InputDevice::kDeviceMouse;
        return mouse;
    }
    default:
        deviceType = EngineCore::InputDevice::kDeviceNone;
        return nullptr;
    }
}

void HGEInputDevice::Update()
{
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    if (!hge)
        return;
    const PointerMapping mapping = CurrentMapping(hge);
    hgeInputEvent e{};
    while (hge->Input_GetEvent(&e)) {
        int deviceType = 0;
        std::shared_ptr<EngineCore::InputEvent> event = Convert(e, mapping, deviceType);
        if (event)
            _events[deviceType].push_back(std::move(event));
        e = hgeInputEvent{};
    }
}

bool HGEInputDevice::TakeEvent(int deviceType, std::shared_ptr<EngineCore::InputEvent>& event)
{
    if (deviceType <= 0 || deviceType >= kDeviceTypes || _events[deviceType].empty())
        return false;
    event = std::move(_events[deviceType].front());
    _events[deviceType].pop_front();
    return true;
}

void HGEInputDevice::ClearEvents(int deviceType)
{
    if (deviceType > 0 && deviceType < kDeviceTypes)
        _events[deviceType].clear();
}

}  // namespace MobrixCore
