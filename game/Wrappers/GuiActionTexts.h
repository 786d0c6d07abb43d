#pragma once
// The script texts behind a GUI control's numbered actions, and the script methods that
// set and clear them. Setting a text binds its action on the control to the handler,
// which gets the action's number; the control keeps calling it until the action is
// cleared. The control is shared with the GUI system and may outlive the script object,
// so the owner calls UnbindAll before it goes.
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

class GuiActionTexts {
public:
    using Handler = std::function<void(int action)>;

    // A place in a RegisterAll row whose text is read and not used.
    static constexpr int kUnused = -1;

    // `actions`: the numbers that carry a text; any other number is never bound.
    GuiActionTexts(std::initializer_list<int> actions, Handler handler) : _handler(std::move(handler))
    {
        for (const int action : actions)
            _texts[action];
    }
    GuiActionTexts(const GuiActionTexts&) = delete;
    GuiActionTexts& operator=(const GuiActionTexts&) = delete;

    // Empty for a number that carries no text.
    const std::string& Text(int action) const
    {
        static const std::string kNone;
        const auto found = _texts.find(action);
        return found == _texts.end() ? kNone : found->second;
    }

    // (action, text)
    template <class Control>
    int Register(lua_State* L, Control& control)
    {
        const int32_t action = CheckInt32(L, 1);
        const std::string text = CheckString(L, 2);
        Set(control, action, text);
        return 0;
    }

    // One text argument for each place of `actions`, all read before any is set; an empty
    // text leaves its action as it was.
    template <class Control>
    int RegisterAll(lua_State* L, Control& control, std::initializer_list<int> actions)
    {
        std::vector<std::string> texts;
        for (int index = 1; index <= static_cast<int>(actions.size()); ++index)
            texts.push_back(CheckString(L, index));
        auto text = texts.begin();
        for (const int action : actions) {
            if (!text->empty())
                Set(control, action, *text);
            ++text;
        }
        return 0;
    }

    // (action): any number is handed to the control.
    template <class Control>
    static int Unregister(lua_State* L, Control& control)
    {
        control.SetAction(CheckInt32(L, 1), nullptr, nullptr);
        return 0;
    }

    template <class Control>
    int UnregisterAll(lua_State*, Control& control)
    {
        UnbindAll(control);
        return 0;
    }

    template <class Control>
    void UnbindAll(Control& control) const
    {
        for (const auto& entry : _texts)
            control.SetAction(entry.first, nullptr, nullptr);
    }

private:
    template <class Control>
    void Set(Control& control, int action, const std::string& text)
    {
        const auto found = _texts.find(action);
        if (found == _texts.end())
            return;
        found->second = text;
        // The bound function holds its own handler: running it may free this object.
        control.SetAction(action, [handler = _handler, action](void*) { handler(action); }, nullptr);
    }

    Handler _handler;
    std::map<int, std::string> _texts;
};

}  // namespace GameCore
