#pragma once
#include "engine/GUI/GuiGeometry.h"

namespace EngineCore {

// What the GUI system hands a control: the event type, the pointer position and,
// for typed text, the character.
class GuiEvent {
public:
    enum EventType : int {
        kNone = 0,
        kMouseOver = 1,
        kMouseOut = 2,
        kPress = 3,
        kClick = 5,
        kCharacter = 7,
    };

    GuiEvent() { _mousePosition.x = _mousePosition.y = -1; }
    virtual ~GuiEvent() = default;

    int GetKeyChar() const { return _keyChar; }
    void SetKeyChar(int keyChar) { _keyChar = keyChar; }
    EventType GetType() const { return _type; }
    void SetType(EventType type) { _type = type; }
    const CPoint& GetMousePosition() const { return _mousePosition; }
    void SetMousePosition(const CPoint& position) { _mousePosition = position; }

private:
    int _keyChar = -1;
    EventType _type = kNone;
    CPoint _mousePosition;
};

}  // namespace EngineCore
