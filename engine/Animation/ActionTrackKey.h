#pragma once
#include <string>

namespace EngineCore {

// One entry of an action track: a time in seconds and the script text run there.
class ActionTrackKey {
public:
    ActionTrackKey(float time, const std::string& scriptAction) : _time(time), _scriptAction(scriptAction) {}

    float GetTime() const { return _time; }
    const char* GetScriptAction() const { return _scriptAction.c_str(); }

private:
    float _time;
    std::string _scriptAction;
};

}  // namespace EngineCore
