#pragma once
// The back-end's GUI layer: it keeps the pointer position of the frame and draws
// the cursor sprite there. The control list of a full GUI is not needed: the
// engine's GUI system does the dispatch.

#include <functional>

namespace MobrixCore {

class hgeSprite;

class hgeGUI {
public:
    hgeGUI();
    ~hgeGUI();
    hgeGUI(const hgeGUI&) = delete;
    hgeGUI& operator=(const hgeGUI&) = delete;

    // The sprite to draw as the cursor, asked for at every draw: a helper sprite
    // freed since (its resource released or re-initialised) is never drawn. An
    // empty function, or one that answers null, draws no cursor.
    void SetCursor(const std::function<hgeSprite*()>& cursor);
    bool HasCursor() const { return static_cast<bool>(_cursor); }

    // Reads the pointer and the buttons of this frame; 0: no control acted.
    int Update(float dt);
    // The cursor at the pointer, mapped into the game picture, while the pointer is
    // over the window.
    void Render();

    float GetMouseX() const { return _mouseX; }
    float GetMouseY() const { return _mouseY; }

private:
    std::function<hgeSprite*()> _cursor;
    float _mouseX = 0;
    float _mouseY = 0;
    int _wheel = 0;
    bool _leftPressed = false;
    bool _leftReleased = false;
    bool _rightPressed = false;
    bool _rightReleased = false;
};

}  // namespace MobrixCore
