#include "game/Wrappers/GuiActionText.h"

namespace GameCore {

void RunGuiAction(StateCallback owner, std::string text)
{
    if (text.size() < 2 || text[0] != '#')
        return;
    owner.Run(text.substr(1));
}

std::string GuiCallText(const std::string& function, const std::string& arguments)
{
    return "#" + function + "( " + arguments + " )";
}

}  // namespace GameCore
