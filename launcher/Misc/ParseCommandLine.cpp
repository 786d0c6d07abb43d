// Reading the command line into the launch settings.
#include <boost/lexical_cast.hpp>

#include "engine/FileSystem/FileSystem.h"
#include "launcher/Misc/Application.h"
#include "launcher/Misc/ApplicationImpl.h"

namespace ApplicationCore {

Application::Impl::Impl()
{
    screenSettings.bpp = 32;
    screenSettings.width = 1024;
    screenSettings.height = 768;
    screenSettings.spareWidth = 1024;
    screenSettings.spareHeight = 768;
    screenSettings.windowed = false;
    screenSettings.stretch = false;
}

void Application::ParseCommandLine()
{
    Impl& settings = *_impl;
    const size_t count = _arguments.size();
    // Argument 0, the program's path, is read like any other. A value option takes the
    // next argument whatever it looks like; with nothing after it, it is ignored.
    for (size_t i = 0; i < count; ++i) {
        const std::string& word = _arguments[i];
        const bool hasValue = i + 1 < count;
        if (word == "-script") {
            if (hasValue)
                settings.startupScript = _arguments[++i];
        } else if (word == "-resource") {
            if (hasValue)
                EngineCore::FileSystem::Instance().AddDirectory(_arguments[++i], nullptr);
        } else if (word == "-bpp" || word == "-width" || word == "-height") {
            if (!hasValue)
                continue;
            // Whole text only: an optional sign and digits, within 32 bits.
            const int value = boost::lexical_cast<int>(_arguments[++i]);
            if (word == "-bpp")
                settings.screenSettings.bpp = value;
            else if (word == "-width")
                settings.screenSettings.width = value;
            else
                settings.screenSettings.height = value;
        } else if (word == "-windowed") {
            settings.screenSettings.windowed = true;
        } else if (word == "-nosound") {
            settings.noSound = true;
        }
    }
    // Only a bare start gets the default data folder; any argument means the command
    // line names its own.
    if (count < 2)
        EngineCore::FileSystem::Instance().AddDirectory("Base", nullptr);
    settings.backEnd = _services.makeBackEnd ? _services.makeBackEnd() : nullptr;
}

}  // namespace ApplicationCore
