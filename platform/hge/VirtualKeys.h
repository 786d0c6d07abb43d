#pragma once
// SDL keys to Windows virtual-key codes.
#include <SDL.h>

namespace hgeplatform {

// The virtual-key code of a key; 0 for a key without one. Letters and digits follow the
// keyboard layout when it types Latin letters, else the key's position.
int VirtualKeyOf(const SDL_Keysym& key);

// The character a control key types by itself (8, 9, 13, 27), else 0.
int ControlCharOf(int virtualKey);

}  // namespace hgeplatform
