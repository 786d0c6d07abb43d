#pragma once
// The launch settings of one run: start-up scripts, screen settings, the no-sound
// choice and the back-end application object.
#include <memory>
#include <string>

#include "engine/Renderer/RenderSystem.h"
#include "launcher/Misc/Application.h"

namespace EngineWrapperCore {
class EngineWrapperApplication;
}

namespace ApplicationCore {

class Application::Impl {
public:
    Impl();

    // The per-frame functions handed to the back-end.
    bool RenderUpdater(float dt);
    bool ApplicationUpdater(float dt);

    bool noSound = false;
    std::string startupScript = "Loading/Scripts/Startup.lua";
    std::string preStartupScript = "Loading/Scripts/PreStartup.lua";
    EngineCore::RenderSystem::ScreenSettings screenSettings;
    // Last member: destroyed first, before the strings.
    std::shared_ptr<EngineWrapperCore::EngineWrapperApplication> backEnd;
};

}  // namespace ApplicationCore
