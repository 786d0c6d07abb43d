#pragma once
#include <cstddef>
#include <functional>

namespace EngineCore {

// The numbered actions of a control (0 to Count - 1), each run with the data it was set with.
template <size_t Count>
class ControlActions {
public:
    // Other numbers are ignored. An empty function removes the action.
    void Set(int action, const std::function<void(void*)>& fn, void* data)
    {
        if (action < 0 || action >= static_cast<int>(Count))
            return;
        _actions[action] = fn;
        _data[action] = data;
    }

    // The action runs from a copy: it may replace itself or drop the control.
    void Run(int action) const
    {
        const std::function<void(void*)> fn = _actions[action];
        if (fn)
            fn(_data[action]);
    }

private:
    void* _data[Count] = {};
    std::function<void(void*)> _actions[Count];
};

}  // namespace EngineCore
