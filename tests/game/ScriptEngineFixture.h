#pragma once
// An open script engine with the test class A registered and made the engine that
// nested runs go through; failures are read back as their error texts.
#include <gtest/gtest.h>

#include <string>

#include "tests/game/TestScriptClasses.h"
#include "tests/support/FailureText.h"

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
        return TestSupport::FailureText([&] { engine.RunString(script, 0); });
    }
    std::string FailureOfFile(const char* path)
    {
        return TestSupport::FailureText([&] { engine.RunFile(path); });
    }

    GameLuaScriptImpl::LuaScriptEngine engine;
    lua_State* L = nullptr;
};

}  // namespace TestScripts
