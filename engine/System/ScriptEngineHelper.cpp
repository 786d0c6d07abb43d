#include "engine/System/ScriptEngineHelper.h"

#include <mutex>

namespace EngineCore {

// The loader thread sets the engine of the state it enters while the main thread
// may read it, so the shared pointer is guarded.
struct ScriptEngineHelper::Impl {
    mutable std::mutex mutex;
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
    std::shared_ptr<ScriptEngine> previous;
    {
        std::lock_guard<std::mutex> lock(_impl->mutex);
        previous = std::move(_impl->engine);
        _impl->engine = engine;
    }
    // The previous engine, when this was its last share, is destroyed outside the lock.
}

std::shared_ptr<ScriptEngine> ScriptEngineHelper::GetCurrentScriptEngine() const
{
    std::lock_guard<std::mutex> lock(_impl->mutex);
    return _impl->engine;
}

}  // namespace EngineCore
