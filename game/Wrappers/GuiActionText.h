#pragma once
// What the GUI script classes do with their action texts: a text of more than one
// character that starts with "#" is Lua code, run in the interpreter of the game
// state that made the control; any other text runs nothing. Names pasted into such
// code go in as quoted Lua strings.
#include <string>

#include "game/Base/StateCallback.h"

namespace GameCore {

// Both arguments are copies: the code may free the object they came from.
void RunGuiAction(StateCallback owner, std::string text);

// "#<function>( <args> )" with the arguments already formatted.
std::string GuiCallText(const std::string& function, const std::string& arguments);

}  // namespace GameCore
