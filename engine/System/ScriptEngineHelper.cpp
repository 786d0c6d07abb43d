#include "engine/System/ScriptEngineHelper.h"

namespace EngineCore {

struct ScriptEngineHelper::Impl {
    std::shared_ptr<ScriptEngine> engine;
};

ScriptEngineHelper::ScriptEngineHelper() : _impl(new Impl) {}
ScriptEngineHelper::~ScriptEngineHelper() = default;

ScriptEngineHelper& ScriptEngineHelper::Instance()
{
    static ScriptEngineHelper instance;
    return instance;
}

void ScriptEngineHelper::SetCurrentScriptEngine(const std::shared_ptr<ScriptEngine>& engine)
{
    _impl->engine = engine;
}

std::shared_ptr<ScriptEngine> ScriptEngineHelper::GetCurrentScriptEngine() const
{
    return _impl->engine;
}

}  // namespace EngineCore
