#pragma once
// Keyboard and mouse as the game sees them: a queue of this frame's events, the keys
// held now, the keys pressed and released this frame, and the wheel of this frame.
// Main thread only.
#include <SDL.h>

#include <deque>

#include "platform/hge/hge.h"

namespace hgeplatform {

class InputState {
public:
    // Takes a keyboard, text, mouse or wheel event; others are ignored.
    void Handle(const SDL_Event& event);
    // Ends a frame: drops unread events, edges, wheel, last key and character.
    void EndFrame();
    // Releases every key and button without events (the window lost the focus).
    void ReleaseAll();

    bool NextEvent(hgeInputEvent* out);
    void MousePos(float* x, float* y) const;
    void SetMousePos(float x, float y);
    int Wheel() const { return wheel_; }
    bool KeyState(int key) const { return Valid(key) && held_[key]; }
    bool KeyDown(int key) const { return Valid(key) && pressed_[key]; }
    bool KeyUp(int key) const { return Valid(key) && released_[key]; }
    int LastKey() const { return lastKey_; }
    int LastChar() const { return lastChar_; }

    bool MouseOver() const { return mouseOver_; }
    void SetMouseOver(bool over) { mouseOver_ = over; }

private:
    static bool Valid(int key) { return key > 0 && key < 256; }
    void Push(int type, int key, int chr, int wheel);
    void Press(int key);
    void Release(int key);

    std::deque<hgeInputEvent> queue_;
    bool held_[256] = {};
    bool pressed_[256] = {};
    bool released_[256] = {};
    float mouseX_ = 0.0f;
    float mouseY_ = 0.0f;
    int wheel_ = 0;
    int lastKey_ = 0;
    int lastChar_ = 0;
    bool mouseOver_ = false;
};

}  // namespace hgeplatform
