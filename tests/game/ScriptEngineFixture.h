#pragma once
// An open script engine with the test class A registered and made the engine that
// nested runs go through; failures are read back as their error texts.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "tests/game/TestScriptClasses.h"

namespace TestScripts {

class ScriptEngineFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.Open());
        L = engine.GetState();
        LuaHelper<A>::Register(L);
        TestScripts::engine = &engine;
    }
    void TearDown() override { TestScripts::engine = nullptr; }

    std::string FailureOf(const char* script)
    {
        return FailureText([&] { engine.RunString(script, 0); });
    }
    std::string FailureOfFile(const char* path)
    {
        return FailureText([&] { engine.RunFile(path); });
    }

    GameLuaScriptImpl::LuaScriptEngine engine;
    lua_State* L = nullptr;

private:
    static std::string FailureText(const std::function<void()>& run)
    {
        try {
            run();
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "(no failure)";
    }
};

}  // namespace TestScripts
