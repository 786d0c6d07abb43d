#pragma once
// Stand-in until the drawing branch lands.
#include <string>

namespace EngineCore {

class RenderSystem {
public:
    static RenderSystem& Instance() { static RenderSystem r; return r; }
    void SetCurrentGameState(const char* name) { if (name) _state = name; }
    std::string GetCurrentGameState() const { return _state; }
private:
    std::string _state;
};

}  // namespace EngineCore
