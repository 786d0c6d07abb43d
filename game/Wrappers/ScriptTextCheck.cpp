#include "game/Wrappers/ScriptTextCheck.h"

#include "engine/System/SystemLogger.h"

namespace GameCore {

bool RunsNothing(const std::string& text)
{
    return !text.empty() && text[0] != '#';
}

void LogTextThatRunsNothing(const std::string& where, const std::string& text)
{
    const std::string line =
        where + " text (" + text + ") runs nothing: a script text is Lua code after a '#' ('#" + text + "').";
    EngineCore::SystemLogger::Instance().Log(line.c_str());
}

}  // namespace GameCore
