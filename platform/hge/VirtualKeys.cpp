#include "platform/hge/VirtualKeys.h"

#include "platform/hge/hge.h"

namespace hgeplatform {
namespace {

int FromKeycode(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return HGEK_A + int(k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return HGEK_0 + int(k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return HGEK_F1 + int(k - SDLK_F1);
    if (k >= SDLK_F13 && k <= SDLK_F24) return 0x7C + int(k - SDLK_F13);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return HGEK_NUMPAD0 + 1 + int(k - SDLK_KP_1);
    switch (k) {
    case SDLK_BACKSPACE: return HGEK_BACKSPACE;
    case SDLK_TAB: return HGEK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return HGEK_ENTER;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return HGEK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return HGEK_CTRL;
    case SDLK_LALT:
    case SDLK_RALT: return HGEK_ALT;
    case SDLK_PAUSE: return HGEK_PAUSE;
    case SDLK_CAPSLOCK: return HGEK_CAPSLOCK;
    case SDLK_ESCAPE: return HGEK_ESCAPE;
    case SDLK_SPACE: return HGEK_SPACE;
    case SDLK_PAGEUP: return HGEK_PGUP;
    case SDLK_PAGEDOWN: return HGEK_PGDN;
    case SDLK_END: return HGEK_END;
    case SDLK_HOME: return HGEK_HOME;
    case SDLK_LEFT: return HGEK_LEFT;
    case SDLK_UP: return HGEK_UP;
    case SDLK_RIGHT: return HGEK_RIGHT;
    case SDLK_DOWN: return HGEK_DOWN;
    case SDLK_PRINTSCREEN: return 0x2C;
    case SDLK_INSERT: return HGEK_INSERT;
    case SDLK_DELETE: return HGEK_DELETE;
    case SDLK_LGUI: return HGEK_LWIN;
    case SDLK_RGUI: return HGEK_RWIN;
    case SDLK_APPLICATION: return HGEK_APPS;
    case SDLK_KP_0: return HGEK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return HGEK_MULTIPLY;
    case SDLK_KP_PLUS: return HGEK_ADD;
    case SDLK_KP_MINUS: return HGEK_SUBTRACT;
    case SDLK_KP_PERIOD: return HGEK_DECIMAL;
    case SDLK_KP_DIVIDE: return HGEK_DIVIDE;
    case SDLK_NUMLOCKCLEAR: return HGEK_NUMLOCK;
    case SDLK_SCROLLLOCK: return HGEK_SCROLLLOCK;
    case SDLK_SEMICOLON: return HGEK_SEMICOLON;
    case SDLK_EQUALS: return HGEK_EQUALS;
    case SDLK_COMMA: return HGEK_COMMA;
    case SDLK_MINUS: return HGEK_MINUS;
    case SDLK_PERIOD: return HGEK_PERIOD;
    case SDLK_SLASH: return HGEK_SLASH;
    case SDLK_BACKQUOTE: return HGEK_GRAVE;
    case SDLK_LEFTBRACKET: return HGEK_LBRACKET;
    case SDLK_BACKSLASH: return HGEK_BACKSLASH;
    case SDLK_RIGHTBRACKET: return HGEK_RBRACKET;
    case SDLK_QUOTE: return HGEK_APOSTROPHE;
    default: return 0;
    }
}

// For layouts whose keys type other scripts: the US key at the same position.
int FromScancode(SDL_Scancode s) {
    if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) return HGEK_A + int(s - SDL_SCANCODE_A);
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return HGEK_0 + 1 + int(s - SDL_SCANCODE_1);
    switch (s) {
    case SDL_SCANCODE_0: return HGEK_0;
    case SDL_SCANCODE_SEMICOLON: return HGEK_SEMICOLON;
    case SDL_SCANCODE_EQUALS: return HGEK_EQUALS;
    case SDL_SCANCODE_COMMA: return HGEK_COMMA;
    case SDL_SCANCODE_MINUS: return HGEK_MINUS;
    case SDL_SCANCODE_PERIOD: return HGEK_PERIOD;
    case SDL_SCANCODE_SLASH: return HGEK_SLASH;
    case SDL_SCANCODE_GRAVE: return HGEK_GRAVE;
    case SDL_SCANCODE_LEFTBRACKET: return HGEK_LBRACKET;
    case SDL_SCANCODE_BACKSLASH: return HGEK_BACKSLASH;
    case SDL_SCANCODE_RIGHTBRACKET: return HGEK_RBRACKET;
    case SDL_SCANCODE_APOSTROPHE: return HGEK_APOSTROPHE;
    case SDL_SCANCODE_NONUSBACKSLASH: return 0xE2;  // the extra key of European keyboards
    default: return 0;
    }
}

}  // namespace

int VirtualKeyOf(const SDL_Keysym& key) {
    const int vk = FromKeycode(key.sym);
    return vk ? vk : FromScancode(key.scancode);
}

int ControlCharOf(int virtualKey) {
    switch (virtualKey) {
    case HGEK_BACKSPACE:
    case HGEK_TAB:
    case HGEK_ENTER:
    case HGEK_ESCAPE: return virtualKey;
    default: return 0;
    }
}

}  // namespace hgeplatform
