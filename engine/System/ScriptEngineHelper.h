#pragma once
#include <memory>

#include "engine/System/ScriptEngine.h"

namespace EngineCore {

// Holds the script engine of the game state entered last.
class ScriptEngineHelper {
public:
    static ScriptEngineHelper& Instance();

    void SetCurrentScriptEngine(const std::shared_ptr<ScriptEngine>& engine);
    std::shared_ptr<ScriptEngine> GetCurrentScriptEngine() const;

    ~ScriptEngineHelper();
    ScriptEngineHelper(const ScriptEngineHelper&) = delete;
    ScriptEngineHelper& operator=(const ScriptEngineHelper&) = delete;

private:
    ScriptEngineHelper();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
