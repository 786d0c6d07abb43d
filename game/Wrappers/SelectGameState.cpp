#include "game/Wrappers/SelectGameState.h"

#include <vector>

#include "engine/System/SystemLogger.h"

namespace GameCore {

void LogUnknownGameState(const std::string& name)
{
    std::string known;
    for (const std::string& state : Application::Instance().GetGameStateNames())
        known += (known.empty() ? "" : ", ") + state;
    const std::string line = "Game state (" + name + ") does not exist, so no switch is made (a pending one is "
                             "cancelled); the states are: " + (known.empty() ? "none" : known) + ".";
    EngineCore::SystemLogger::Instance().Log(line.c_str());
}

}  // namespace GameCore
