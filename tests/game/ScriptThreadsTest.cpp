// One interpreter is entered by one thread at a time: a run started while another
// thread is inside the state is refused with the engine error, before it touches the
// state.
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "engine/System/EngineError.h"
#include "tests/game/ScriptEngineFixture.h"

using TestScripts::GlobalNumber;

namespace {

const char* const kSource = "ScriptEngine\\LuaScriptEngine\\LuaScriptEngine.cpp";

// Held by the script function Block while a test needs a thread inside the state.
std::promise<void>* inside = nullptr;
std::shared_future<void>* release = nullptr;

int Block(lua_State*)
{
    inside->set_value();
    release->wait();
    return 0;
}

// Runs a script text through the engine again from inside a run (same thread).
int Nested(lua_State* L)
{
    TestScripts::engine->RunString(lua_tostring(L, 1), 0);
    return 0;
}

class ScriptThreadsTest : public TestScripts::ScriptEngineFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ScriptEngineFixture::SetUp());
        lua_register(L, "Block", &Block);
        lua_register(L, "Nested", &Nested);
    }
};

TEST_F(ScriptThreadsTest, ASecondThreadIsRefusedWhileAnotherRunsInTheState)
{
    std::promise<void> entered;
    std::promise<void> go;
    std::shared_future<void> released = go.get_future().share();
    inside = &entered;
    release = &released;
    std::thread first([&] { engine.RunString("Block() FirstDone = 1", 0); });
    entered.get_future().wait();

    const struct {
        const char* text;
        const char* piece;
    } rows[] = {
        {"x = 1", "x = 1"},
        {"Nested('y = 2')", "Nested('y = 2')"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FailureOf(row.text),
                  EngineCore::MakeEngineErrorText(
                      kSource, 214,
                      std::string("Script engine entered from a second thread while another runs in it.\n\n"
                                  "ScriptString: ") +
                          row.piece + "\n"))
            << row.text;
    }
    go.set_value();
    first.join();
    inside = nullptr;
    release = nullptr;

    // Nothing of the refused runs reached the state; once the first thread has left,
    // any thread may enter, and runs nest on one thread.
    EXPECT_EQ(1, GlobalNumber(L, "FirstDone"));
    lua_getglobal(L, "x");
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);
    std::thread second([&] { engine.RunString("Nested('y = 2') x = 1", 0); });
    second.join();
    EXPECT_EQ(1, GlobalNumber(L, "x"));
    EXPECT_EQ(2, GlobalNumber(L, "y"));
    EXPECT_TRUE(engine.RunString("Nested('z = 3')", 0));
    EXPECT_EQ(3, GlobalNumber(L, "z"));
}

}  // namespace
