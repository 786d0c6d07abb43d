#pragma once
// The event pump between the HGE layer and the engine's input devices: once per call it
// drains HGE's input queue into engine keyboard and mouse events, with HGE's key codes
// (Windows virtual keys) mapped to the engine's key numbers and window pixels mapped to
// game coordinates. The events wait in one list per device type until the device hands
// them out. Main thread only.

#include <list>
#include <memory>

#include "platform/hge/hge.h"

namespace EngineCore {
class InputEvent;
}

namespace MobrixCore {

class HGEInputDevice {
public:
    // Window pixels to game coordinates: game = window / scale + offset, per axis.
    struct PointerMapping {
        float hscale = 1.0f;
        float vscale = 1.0f;
        float hoffset = 0.0f;
        float voffset = 0.0f;

        float GameX(float windowX) const { return windowX / hscale + hoffset; }
        float GameY(float windowY) const { return windowY / vscale + voffset; }
    };

    static HGEInputDevice& Instance();

    // Drains HGE's queue into the device lists.
    void Update();
    // The oldest event of the device type's list, removed; false when the list is empty.
    bool TakeEvent(int deviceType, std::shared_ptr<EngineCore::InputEvent>& event);
    // Drops the queued events of one device type.
    void ClearEvents(int deviceType);

    // The display's current mapping, read from HGE.
    static PointerMapping CurrentMapping(HGE* hge);
    // The engine event for one HGE event (null for a type it ignores), and the device
    // type whose list takes it.
    static std::shared_ptr<EngineCore::InputEvent> Convert(const hgeInputEvent& event, const PointerMapping& mapping,
                                                           int& deviceType);
    // The engine key for an HGE key code; 0 for codes outside the table.
    static int KeyOfCode(int hgeKey);
    // The HGE key code of an engine key; 0 for keys HGE never reports.
    static int CodeOfKey(int engineKey);
    // The engine button for an HGE mouse-button code (1, 2, 4); 0 for any other.
    static int ButtonOfCode(int hgeButton);

    HGEInputDevice(const HGEInputDevice&) = delete;
    HGEInputDevice& operator=(const HGEInputDevice&) = delete;

private:
    HGEInputDevice();
    ~HGEInputDevice();

    static const int kDeviceTypes = 4;
    std::list<std::shared_ptr<EngineCore::InputEvent>> _events[kDeviceTypes];
};

}  // namespace MobrixCore
