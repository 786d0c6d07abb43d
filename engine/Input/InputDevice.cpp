#include "engine/Input/InputDevice.h"

#include "engine/Input/EventFilter.h"

namespace EngineCore {

struct InputDevice::Impl {
    int type = kDeviceNone;
    mutable std::shared_ptr<EventFilter> filter;
};

InputDevice::InputDevice() : _impl(new Impl) {}
InputDevice::~InputDevice() = default;

bool InputDevice::Clear() { return true; }
bool InputDevice::Close() { return true; }
void InputDevice::Update() {}
bool InputDevice::Open(void*) { return true; }
bool InputDevice::IsValid() const { return false; }
bool InputDevice::GetNextEvent(std::shared_ptr<InputEvent>&) const { return false; }

int InputDevice::GetDeviceType() const { return _impl->type; }
void InputDevice::SetDeviceType(int type) { _impl->type = type; }

bool InputDevice::SetEventFilter(const std::shared_ptr<EventFilter>& filter)
{
    _impl->filter = filter;
    return true;
}

bool InputDevice::GetEventFilter(std::shared_ptr<EventFilter>& filter) const
{
    if (!_impl->filter)
        return false;
    if (_impl->filter.use_count() == 1) {
        _impl->filter.reset();
        return false;
    }
    filter = _impl->filter;
    return true;
}

}  // namespace EngineCore
