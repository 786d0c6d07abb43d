#pragma once
#include <cstdint>
#include <string>

namespace EngineCore {

// The abstract script interpreter of one game state. The base operations do nothing
// and succeed; the game core's Lua engine overrides them all.
class ScriptEngine {
public:
    ScriptEngine() = default;
    virtual ~ScriptEngine();
    virtual bool Close();
    virtual bool Open();
    virtual bool RunFile(const std::string& path);
    // length 0 means the text runs to its NUL.
    virtual bool RunString(const char* text, uint32_t length);
};

}  // namespace EngineCore
