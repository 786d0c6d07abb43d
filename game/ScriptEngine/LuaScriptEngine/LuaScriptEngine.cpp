#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

#include <lua.hpp>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/FileSystem/MountedPlaces.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaStateContext.h"

namespace GameLuaScriptImpl {

namespace {

const char* const kSource = "ScriptEngine\\LuaScriptEngine\\LuaScriptEngine.cpp";
const int kLineFileNotFound = 129;
const int kLineRunFailed = 209;
const int kLineSecondThread = 214;
const size_t kMaxScriptPiece = 255;

void WritePanicLine(const char* message)
{
    std::fprintf(stderr, "PANIC: unprotected error in call to Lua API (%s)\n", message);
    std::fflush(stderr);
}

// An error raised with no protected call running would end the process; it ends the
// operation that caused it instead.
int Panic(lua_State* state)
{
    const char* message = lua_tostring(state, -1);
    std::string text = message ? message : "";
    WritePanicLine(text.c_str());
    EngineCore::ThrowEngineError(kSource, kLineRunFailed, text);
}

// The interpreter's message for a failed run: the error value when it is a string or a
// number, otherwise the text of the string check that fails on it. The check is not run
// through Lua: in a nested run a protected call of the outer run is still active and would
// catch it, so the outer run would report it instead of the run that failed.
std::string ReadErrorMessage(lua_State* state)
{
    if (lua_isstring(state, -1))
        return lua_tostring(state, -1);
    std::string message = EngineCore::FormatText(
        "bad argument #%d (string expected, got %s)", -1, luaL_typename(state, -1));
    WritePanicLine(message.c_str());
    return message;
}

// No block made while loading a chunk of `length` bytes needs to be larger than this: an
// element of any vector in a chunk takes at least one byte of it and at most 16 in memory
// (a constant), and a string's bytes are all in the chunk. The fixed part leaves room for
// the interpreter's own tables, which may grow during the load.
size_t LoadBlockLimit(uint32_t length)
{
    return 16 * static_cast<size_t>(length) + (size_t(64) << 20);
}

// The script text up to its first NUL; a precompiled chunk (length != 0) is its own
// buffer with no terminator of its own, so its piece never reads past length bytes.
std::string ScriptPiece(const char* text, uint32_t length)
{
    std::string piece;
    if (text && length == 0)
        piece = text;
    else if (text)
        piece.assign(text, strnlen(text, length));
    if (piece.size() > kMaxScriptPiece)
        piece = piece.substr(0, kMaxScriptPiece - 1) + piece.back();
    if (piece.empty())
        return piece;
    return "\n\nScriptString: " + piece + "\n";
}

// An interpreter is not thread-safe: a second thread inside it corrupts its heap long
// before anything shows. Every run starts with one of these and throws when it is
// refused, before the state or the engine's own record is touched.
class RunGuard {
public:
    explicit RunGuard(lua_State* state) : _context(LuaStateContext::Get(state))
    {
        if (_context && !_context->EnterRun()) {
            _context = nullptr;
            _refused = true;
        }
    }
    bool Refused() const { return _refused; }
    ~RunGuard()
    {
        if (_context)
            _context->LeaveRun();
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    LuaStateContext* _context;
    bool _refused = false;
};

[[noreturn]] void ThrowSecondThread(const std::string& what)
{
    EngineCore::ThrowEngineError(kSource, kLineSecondThread,
                                 "Script engine entered from a second thread while another runs in it." + what);
}

}  // namespace

struct LuaScriptEngine::Impl {
    lua_State* state = nullptr;
    // Paths of the script files whose run has started and not ended, oldest first.
    std::vector<std::string> fileStack;

    // Loads and runs one chunk (see RunString); a text read from a file passes its chunk
    // name ("@path"), any other text an empty name.
    bool Run(const char* text, uint32_t length, const std::string& fileChunkName);
};

LuaScriptEngine::LuaScriptEngine() : _impl(new Impl) {}

LuaScriptEngine::~LuaScriptEngine()
{
    Close();
}

bool LuaScriptEngine::Close()
{
    if (!_impl->state)
        return false;
    lua_State* state = _impl->state;
    _impl->state = nullptr;
    lua_gc(state, LUA_GCCOLLECT, 0);
    LuaStateContext::CloseState(state);
    return true;
}

bool LuaScriptEngine::Open()
{
    // A second Open would otherwise leak the first state with every object in it.
    Close();
    lua_State* state = LuaStateContext::NewState();
    if (!state)
        return false;
    lua_atpanic(state, &Panic);
    _impl->state = state;
    return true;
}

lua_State* LuaScriptEngine::GetState() const
{
    return _impl->state;
}

void LuaScriptEngine::SetOwner(lua_State* state, void* owner)
{
    if (LuaStateContext* context = LuaStateContext::Get(state))
        context->owner = owner;
}

void* LuaScriptEngine::GetOwner(lua_State* state)
{
    LuaStateContext* context = LuaStateContext::Get(state);
    return context ? context->owner : nullptr;
}

bool LuaScriptEngine::RunFile(const std::string& path)
{
    EngineCore::SystemLogger::Instance().Log(("LuaScriptEngine::RunFile (" + path + ").").c_str());
    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(path, file) || !file) {
        EngineCore::LogWhereLookedFor(path);
        EngineCore::ThrowEngineErrorF(kSource, kLineFileNotFound, "File (%s) not fond.", path.c_str());
    }
    const int size = file->GetSize();
    if (size < 3)
        return true;
    const char* bytes = reinterpret_cast<const char*>(file->GetData());

    if (!_impl->state)
        return false;
    const RunGuard guard(_impl->state);
    if (guard.Refused())
        ThrowSecondThread("\n\nScriptFile: " + path + "\n");
    // The path stays listed exactly while the file runs, also when the run throws.
    _impl->fileStack.push_back(path);
    struct PopOnExit {
        std::vector<std::string>& stack;
        ~PopOnExit() { stack.pop_back(); }
    } popOnExit{_impl->fileStack};

    if (bytes[0] == 27)
        return RunString(bytes, static_cast<uint32_t>(size));
    // The cached buffer is shared and has no terminator; the whole text runs, its last
    // byte included, from a terminated copy. Named "@path", the chunk's errors read
    // "path:line:", and the text itself stays out of the error.
    const std::string text(bytes, static_cast<size_t>(size));
    return _impl->Run(text.c_str(), 0, "@" + path);
}

bool LuaScriptEngine::RunString(const char* text, uint32_t length)
{
    return _impl->Run(text, length, std::string());
}

bool LuaScriptEngine::Impl::Run(const char* text, uint32_t length, const std::string& fileChunkName)
{
    if (!state || !text)
        return false;
    const RunGuard guard(state);
    if (guard.Refused())
        ThrowSecondThread(ScriptPiece(text, length));
    const int top = lua_gettop(state);
    int status;
    if (length == 0) {
        // Text without a file is named by its own text, as the auxiliary library does.
        status = fileChunkName.empty()
                     ? luaL_loadstring(state, text)
                     : luaL_loadbuffer(state, text, std::strlen(text), fileChunkName.c_str());
        if (status == 0)
            status = lua_pcall(state, 0, LUA_MULTRET, 0);
    } else {
        // Precompiled chunks are trusted game data: Lua 5.1 does not verify bytecode
        // fully. Loading is still bounded, so that counts in a damaged chunk cannot
        // reserve memory its bytes could never fill.
        {
            struct LoadBound {
                LuaStateContext* context;
                size_t kept;
                ~LoadBound()
                {
                    if (context)
                        context->loadBlockLimit = kept;
                }
            } bound{LuaStateContext::Get(state), 0};
            if (bound.context) {
                bound.kept = bound.context->loadBlockLimit;
                bound.context->loadBlockLimit = LoadBlockLimit(length);
            }
            status = luaL_loadbuffer(state, text, length, "Binary");
        }
        if (status == 0)
            status = lua_pcall(state, 0, 0, 0);
    }

    if (status == 0) {
        // A chunk's results are not kept: the stack must not grow from run to run.
        lua_settop(state, top);
        lua_gc(state, LUA_GCCOLLECT, 0);
        return true;
    }

    std::exception_ptr kept;
    if (LuaStateContext* context = LuaStateContext::Get(state))
        kept = context->TakeKeptException(state);
    if (kept) {
        lua_settop(state, top);
        std::rethrow_exception(kept);
    }

    std::string message = ReadErrorMessage(state);
    lua_settop(state, top);
    if (fileChunkName.empty())
        message += ScriptPiece(text, length);
    if (!fileStack.empty()) {
        message += "\nList of script files:\n";
        for (const std::string& path : fileStack)
            message += "\t" + path + "\n";
    }
    EngineCore::ThrowEngineError(kSource, kLineRunFailed, message);
}

}  // namespace GameLuaScriptImpl
