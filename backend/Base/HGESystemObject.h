#pragma once
// The one HGE interface object through which back-end classes reach the platform layer.

#include "platform/hge/hge.h"

namespace MobrixCore {

class HGESystemObject {
public:
    // Made on first use by any back-end code; gone at process exit, after the render
    // system's creation (so the render system is destroyed after it).
    static HGESystemObject& Instance();

    HGE* operator->() const { return *_cell; }
    // Null once the holder is gone at exit: objects that die later must not reach HGE.
    HGE* GetObjectW() const { return _cell ? *_cell : nullptr; }

    ~HGESystemObject();
    HGESystemObject(const HGESystemObject&) = delete;
    HGESystemObject& operator=(const HGESystemObject&) = delete;

private:
    HGESystemObject();
    HGE** _cell;
};

}  // namespace MobrixCore
