#include "engine/Input/ActionDevice.h"

#include "engine/Input/ActionManager.h"

namespace EngineCore {

void FireKeyAndAxis(ActionManager& keys, ActionManager& axes, int key, int axis,
                    const std::shared_ptr<InputEvent>& event)
{
    const int state = event->GetState();
    if (key != 0) {
        if (!keys.IsExistAction(key))
            return;
        if (state == InputEvent::kStatePressed)
            keys.OnAction(key, event);
        else if (state == InputEvent::kStateReleased)
            keys.OffAction(key, event);
    }
    if (state == InputEvent::kStateAxisChanged)
        axes.OnAction(axis, event);
}

}  // namespace EngineCore
