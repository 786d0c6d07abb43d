// Keyboard and mouse queries; the queue is filled by the frame loop's event pump.
#include "platform/hge/Engine.h"

namespace hgeplatform {

void Engine::Input_GetMousePos(float* x, float* y) { input_.MousePos(x, y); }

void Engine::Input_SetMousePos(float x, float y) {
    if (!Running() || !window_) return;
    const float wx = mapping_.WindowX(x);
    const float wy = mapping_.WindowY(y);
    input_.SetMousePos(wx, wy);
    SDL_WarpMouseInWindow(window_, int(wx), int(wy));
}

int Engine::Input_GetMouseWheel() { return input_.Wheel(); }

bool Engine::Input_IsMouseOver() {
    if (!Running()) return false;
    return !windowed_ || input_.MouseOver();
}

bool Engine::Input_KeyDown(int key) { return input_.KeyDown(key); }
bool Engine::Input_KeyUp(int key) { return input_.KeyUp(key); }
bool Engine::Input_GetKeyState(int key) { return input_.KeyState(key); }
int Engine::Input_GetKey() { return input_.LastKey(); }
int Engine::Input_GetChar() { return input_.LastChar(); }
bool Engine::Input_GetEvent(hgeInputEvent* event) { return input_.NextEvent(event); }

}  // namespace hgeplatform
