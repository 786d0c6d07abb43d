#pragma once
// Argument errors of script methods and constructors, numbered as scripts count the
// arguments: the method's own from 1, whatever the call form. The binder hands a method
// its arguments without the object, so Lua's own check would count obj:Method(x, y) as
// x being "bad self" and y argument #1; these errors say "bad argument #1 to 'Method'"
// for x, and only a wrong object is "bad self". The method is the binder's innermost
// running method in that state; elsewhere (a constructor) the name the script called.

#include <lua.hpp>

namespace GameLuaScriptImpl {

// "bad argument #<index> to '<method>' (<message>)", raised as a Lua error with the
// caller's position in front, as Lua's own argument errors are.
[[noreturn]] void RaiseArgumentError(lua_State* state, int index, const char* message);
// The same with "<expected> expected, got <type of the argument>".
[[noreturn]] void RaiseArgumentTypeError(lua_State* state, int index, const char* expected);
// "calling '<method>' on bad self (<className> expected, got <type of argument 1>)".
[[noreturn]] void RaiseBadSelfError(lua_State* state, const char* method, const char* className);

}  // namespace GameLuaScriptImpl
