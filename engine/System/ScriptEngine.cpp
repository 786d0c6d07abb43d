#include "engine/System/ScriptEngine.h"

namespace EngineCore {

ScriptEngine::~ScriptEngine() = default;
bool ScriptEngine::Close() { return true; }
bool ScriptEngine::Open() { return true; }
bool ScriptEngine::RunFile(const std::string&) { return true; }
bool ScriptEngine::RunString(const char*, uint32_t) { return true; }

}  // namespace EngineCore
