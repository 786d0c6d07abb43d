#include "platform/hge/InputState.h"

#include "platform/hge/VirtualKeys.h"

namespace hgeplatform {
namespace {

int ModifierFlags() {
    const SDL_Keymod mod = SDL_GetModState();
    int flags = 0;
    if (mod & KMOD_SHIFT) flags |= HGEINP_SHIFT;
    if (mod & KMOD_CTRL) flags |= HGEINP_CTRL;
    if (mod & KMOD_ALT) flags |= HGEINP_ALT;
    if (mod & KMOD_CAPS) flags |= HGEINP_CAPSLOCK;
    if (mod & KMOD_SCROLL) flags |= HGEINP_SCROLLLOCK;
    if (mod & KMOD_NUM) flags |= HGEINP_NUMLOCK;
    return flags;
}

int ButtonCode(Uint8 button) {
    switch (button) {
    case SDL_BUTTON_LEFT: return HGEK_LBUTTON;
    case SDL_BUTTON_RIGHT: return HGEK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return HGEK_MBUTTON;
    default: return 0;
    }
}

// The first code point of UTF-8 text, or -1 when the text is empty or malformed.
long FirstCodePoint(const char* text) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    if (s[0] < 0x80) return s[0] ? long(s[0]) : -1;
    int extra = 0;
    long cp = 0;
    if ((s[0] & 0xE0) == 0xC0) {
        extra = 1;
        cp = s[0] & 0x1F;
    } else if ((s[0] & 0xF0) == 0xE0) {
        extra = 2;
        cp = s[0] & 0x0F;
    } else if ((s[0] & 0xF8) == 0xF0) {
        extra = 3;
        cp = s[0] & 0x07;
    } else {
        return -1;
    }
    for (int i = 1; i <= extra; ++i) {
        if ((s[i] & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (s[i] & 0x3F);
    }
    return cp;
}

}  // namespace

void InputState::Push(int type, int key, int chr, int wheel) {
    hgeInputEvent e{};
    e.type = type;
    e.key = key;
    e.flags = ModifierFlags();
    e.chr = chr;
    e.wheel = wheel;
    e.x = mouseX_;
    e.y = mouseY_;
    queue_.push_back(e);
}

void InputState::Press(int key) {
    if (!Valid(key)) return;
    held_[key] = true;
    pressed_[key] = true;
    lastKey_ = key;
}

void InputState::Release(int key) {
    if (!Valid(key)) return;
    held_[key] = false;
    released_[key] = true;
}

void InputState::Handle(const SDL_Event& ev) {
    switch (ev.type) {
    case SDL_KEYDOWN: {
        const int vk = VirtualKeyOf(ev.key.keysym);
        if (!vk) return;
        const int chr = ControlCharOf(vk);
        Press(vk);
        if (chr) lastChar_ = chr;
        Push(INPUT_KEYDOWN, vk, chr, 0);
        if (ev.key.repeat) queue_.back().flags |= HGEINP_REPEAT;
        return;
    }
    case SDL_KEYUP: {
        const int vk = VirtualKeyOf(ev.key.keysym);
        if (!vk) return;
        Release(vk);
        Push(INPUT_KEYUP, vk, 0, 0);
        return;
    }
    case SDL_TEXTINPUT: {
        // Text arrives after the key that typed it; characters beyond 8 bits are not
        // delivered.
        const long cp = FirstCodePoint(ev.text.text);
        if (cp <= 0 || cp > 255) return;
        for (auto it = queue_.rbegin(); it != queue_.rend(); ++it) {
            if (it->type != INPUT_KEYDOWN && it->type != INPUT_KEYUP) continue;
            if (it->type == INPUT_KEYDOWN && it->chr == 0) {
                it->chr = int(cp);
                lastChar_ = int(cp);
            }
            break;
        }
        return;
    }
    case SDL_MOUSEMOTION:
        mouseX_ = float(ev.motion.x);
        mouseY_ = float(ev.motion.y);
        Push(INPUT_MOUSEMOVE, 0, 0, 0);
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const int button = ButtonCode(ev.button.button);
        if (!button) return;
        mouseX_ = float(ev.button.x);
        mouseY_ = float(ev.button.y);
        if (ev.type == SDL_MOUSEBUTTONDOWN) {
            Press(button);
            Push(INPUT_MBUTTONDOWN, button, 0, 0);
        } else {
            Release(button);
            Push(INPUT_MBUTTONUP, button, 0, 0);
        }
        return;
    }
    case SDL_MOUSEWHEEL: {
        int delta = ev.wheel.y;
        if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
        if (!delta) return;
        wheel_ += delta;
        Push(INPUT_MOUSEWHEEL, 0, 0, delta);
        return;
    }
    default:
        return;
    }
}

void InputState::EndFrame() {
    queue_.clear();
    for (int i = 0; i < 256; ++i) pressed_[i] = released_[i] = false;
    wheel_ = 0;
    lastKey_ = 0;
    lastChar_ = 0;
}

void InputState::ReleaseAll() {
    for (bool& h : held_) h = false;
}

bool InputState::NextEvent(hgeInputEvent* out) {
    if (queue_.empty()) return false;
    if (out) *out = queue_.front();
    queue_.pop_front();
    return true;
}

void InputState::MousePos(float* x, float* y) const {
    if (x) *x = mouseX_;
    if (y) *y = mouseY_;
}

void InputState::SetMousePos(float x, float y) {
    mouseX_ = x;
    mouseY_ = y;
}

}  // namespace hgeplatform
