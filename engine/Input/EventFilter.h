#pragma once
#include <memory>

#include "engine/Input/InputEvent.h"

namespace EngineCore {

// A hook a device can hold to veto events; nothing installs one today.
class EventFilter {
public:
    virtual ~EventFilter() = default;
    virtual bool AddEvent(const std::shared_ptr<InputEvent>&) { return true; }
};

}  // namespace EngineCore
