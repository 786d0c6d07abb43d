#pragma once
// Stand-in until the drawing branch lands.
#include "engine/Resources/Resource.h"

namespace EngineCore {

class Texture : public Resource {
public:
    Texture() { SetType(static_cast<ResourceType>(3)); }
    bool IsValid() const override { return true; }
    unsigned GetWidth() const { return _w; }
    unsigned GetHeight() const { return _h; }
protected:
    void SetSize(unsigned w, unsigned h) { _w = w; _h = h; }
private:
    unsigned _w = 0, _h = 0;
};

}  // namespace EngineCore
