#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/pack/PackWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/game/ScriptEngineFixture.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/TestLogWriter.h"

extern char** environ;

using GameLuaScriptImpl::LuaHelper;
using TestScripts::A;
using TestScripts::CodedError;
using TestScripts::Fail;
using TestScripts::GlobalNumber;

namespace {

const char* const kSource = "ScriptEngine\\LuaScriptEngine\\LuaScriptEngine.cpp";

// Compiles Lua text into a precompiled chunk with Debian's luac5.1.
std::vector<unsigned char> Compile(const TestSupport::TempFolder& work, const std::string& text)
{
    const std::string source = work / "chunk-source.lua";
    const std::string output = work / "chunk.luac";
    work.WriteFile("chunk-source.lua", text);
    std::vector<std::string> args = {"luac5.1", "-o", output, source};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "luac5.1", nullptr, nullptr, argv.data(), environ) != 0)
        return {};
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    std::ifstream in(output, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// The data folder and the pack are indexed once for the whole program: the file
// system is process-wide. Names are unique to this program.
class LuaScriptFileTest : public TestScripts::ScriptEngineFixture {
protected:
    static void SetUpTestSuite()
    {
        data = new TestSupport::TempFolder;
        work = new TestSupport::TempFolder;
        chunk = Compile(*work, "v = A(11):Get() + 1\n");
        failingChunk = Compile(*work, "Fail():String()\n");
        const std::string nested = "A():RunFile('scriptfile/inner.lua')\n";
        const struct {
            const char* name;
            std::string bytes;
        } files[] = {
            {"scriptfile/empty.lua", ""},
            {"scriptfile/one.lua", "x"},
            {"scriptfile/two.lua", "x="},
            {"scriptfile/noeol.lua", "a=1"},
            {"scriptfile/eol.lua", "a=2\n"},
            {"scriptfile/outer.lua", nested},
            {"scriptfile/inner.lua", "Fail():String()\n"},
            {"scriptfile/throw.lua", "A():Throw('thrown')\n"},
            {"scriptfile/fail.lua", "Fail():String()\n"},
            {"scriptfile/nilcall.lua", "a = 1\nNoSuchFunction()\n"},
            {"scriptfile/syntax.lua", "a = 1\nb = = 2\n"},
        };
        for (const auto& file : files)
            data->WriteFile(file.name, file.bytes);
        data->WriteFile("scriptfile/chunk.luac", chunk);
        data->WriteFile("scriptfile/failing.luac", failingChunk);

        PackTool::PackWriter pack;
        pack.AddEntry("scriptpack/text.lua", std::string("w = 3"));
        pack.AddEntry("scriptpack/chunk.luac", chunk);
        pack.AddEntry("scriptpack/nilcall.lua", std::string("\n\nNoSuchFunction()\n"));
        pack.Write(*work / "Scripts.resources");

        EngineCore::FileSystem::Instance().AddDirectory(data->Path());
        EngineCore::FileSystem::Instance().AddResourceFile("Scripts.resources", work->Path());
    }
    static void TearDownTestSuite()
    {
        delete data;
        delete work;
    }

    void SetUp() override
    {
        ASSERT_FALSE(chunk.empty()) << "luac5.1 did not make a chunk";
        ASSERT_NO_FATAL_FAILURE(ScriptEngineFixture::SetUp());
        LuaHelper<Fail>::Register(L);
    }

    static TestSupport::TempFolder* data;
    static TestSupport::TempFolder* work;
    static std::vector<unsigned char> chunk;
    static std::vector<unsigned char> failingChunk;
};

TestSupport::TempFolder* LuaScriptFileTest::data = nullptr;
TestSupport::TempFolder* LuaScriptFileTest::work = nullptr;
std::vector<unsigned char> LuaScriptFileTest::chunk;
std::vector<unsigned char> LuaScriptFileTest::failingChunk;

TEST_F(LuaScriptFileTest, RunsTextAndChunksFromFoldersAndPacks)
{
    struct Case {
        const char* path;
        const char* global;
        double value;
    };
    const Case cases[] = {
        {"scriptfile/empty.lua", "x", -1},  // under 3 bytes: nothing runs
        {"scriptfile/one.lua", "x", -1},
        {"scriptfile/two.lua", "x", -1},
        {"scriptfile/noeol.lua", "a", 1},  // the last byte runs too
        {"scriptfile/eol.lua", "a", 2},
        {"scriptfile/chunk.luac", "v", 12},
        {"scriptpack/text.lua", "w", 3},
        {"scriptpack/chunk.luac", "v", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        lua_pushnil(L);
        lua_setglobal(L, c.global);
        EXPECT_TRUE(engine.RunFile(c.path));
        EXPECT_EQ(c.value, GlobalNumber(L, c.global));
        EXPECT_EQ(0, lua_gettop(L));
    }
}

TEST_F(LuaScriptFileTest, TheCachedFileIsNotWrittenInto)
{
    ASSERT_TRUE(engine.RunFile("scriptfile/noeol.lua"));
    std::shared_ptr<EngineCore::CachedFile> file;
    ASSERT_TRUE(EngineCore::FileSystem::Instance().GetFile("scriptfile/noeol.lua", file));
    EXPECT_EQ("a=1", std::string(reinterpret_cast<const char*>(file->GetData()), file->GetSize()));
}

TEST_F(LuaScriptFileTest, LogsEveryRun)
{
    std::vector<std::string> lines;
    TestSupport::InstallLogWriter([&](const char* text) { lines.push_back(text); });
    engine.RunFile("scriptfile/eol.lua");
    engine.RunFile("scriptfile/one.lua");
    // A file found nowhere says where it was looked for before "not fond.".
    EXPECT_THROW(engine.RunFile("scriptfile/nowhere.lua"), std::runtime_error);
    EngineCore::SystemLogger::Instance().SetLogger(nullptr);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ((std::vector<std::string>{"LuaScriptEngine::RunFile (scriptfile/eol.lua).",
                                        "LuaScriptEngine::RunFile (scriptfile/one.lua).",
                                        "LuaScriptEngine::RunFile (scriptfile/nowhere.lua)."}),
              std::vector<std::string>(lines.begin(), lines.begin() + 3));
    EXPECT_EQ(0u, lines[3].rfind("File (scriptfile/nowhere.lua) was looked for in the data folders (", 0)) << lines[3];
}

TEST_F(LuaScriptFileTest, FailuresListTheRunningFilesOldestFirst)
{
    struct Case {
        const char* path;
        std::string message;
    };
    const Case cases[] = {
        {"scriptfile/missing.lua", "File (scriptfile/missing.lua) not fond."},
        // A file's text is not repeated in the error: its errors name the file and line.
        {"scriptfile/fail.lua", "boom\nList of script files:\n\tscriptfile/fail.lua\n"},
        {"scriptfile/outer.lua",
         "boom\nList of script files:\n\tscriptfile/outer.lua\n\tscriptfile/inner.lua\n"},
        {"scriptfile/nilcall.lua",
         "scriptfile/nilcall.lua:2: attempt to call global 'NoSuchFunction' (a nil value)"
         "\nList of script files:\n\tscriptfile/nilcall.lua\n"},
        {"scriptfile/syntax.lua",
         "scriptfile/syntax.lua:2: unexpected symbol near '='"
         "\nList of script files:\n\tscriptfile/syntax.lua\n"},
        {"scriptpack/nilcall.lua",
         "scriptpack/nilcall.lua:3: attempt to call global 'NoSuchFunction' (a nil value)"
         "\nList of script files:\n\tscriptpack/nilcall.lua\n"},
        {"scriptfile/failing.luac",
         "boom\n\nScriptString: \x1bLuaQ\n"
         "\nList of script files:\n\tscriptfile/failing.luac\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const int line = c.message.rfind("File (", 0) == 0 ? 129 : 209;
        EXPECT_EQ(EngineCore::MakeEngineErrorText(kSource, line, c.message), FailureOfFile(c.path));
    }
    // No path stays listed after the failed runs.
    try {
        engine.RunString("Fail():String()", 0);
        FAIL() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(EngineCore::MakeEngineErrorText(kSource, 209, "boom\n\nScriptString: Fail():String()\n"),
                  e.what());
    }
}

TEST_F(LuaScriptFileTest, MethodExceptionsPassThroughFileRuns)
{
    try {
        engine.RunFile("scriptfile/throw.lua");
        FAIL() << "no exception";
    } catch (const CodedError& e) {
        EXPECT_STREQ("thrown", e.what());
        EXPECT_EQ(7, e.code);
    }
    EXPECT_TRUE(engine.RunFile("scriptfile/eol.lua"));
}

}  // namespace
