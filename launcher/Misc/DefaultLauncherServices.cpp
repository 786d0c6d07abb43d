#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>

#include "backend/Base/HGEEngineWrapperApplication.h"
#include "engine/FileSystem/FileSystem.h"
#include "launcher/Misc/LauncherServices.h"
#include "platform/os/MessageBox.h"

namespace ApplicationCore {

LauncherServices DefaultLauncherServices()
{
    LauncherServices services;
    services.makeBackEnd = [] {
        return std::shared_ptr<EngineWrapperCore::EngineWrapperApplication>(
            new MobrixCore::HGEEngineWrapperApplication());
    };
    services.showDialog = [](DialogKind kind, const std::string& caption, const std::string& text, void* window) {
        OsPlatform::ShowMessage(caption, text,
                                kind == DialogKind::Warning ? OsPlatform::MessageIcon::Warning
                                                            : OsPlatform::MessageIcon::Error,
                                window);
    };
    services.hideWindow = [](void* window) { SDL_HideWindow(static_cast<SDL_Window*>(window)); };
    services.writeError = [](const std::string& text) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    };
    services.logPath = [] {
        std::string folder;
        if (!EngineCore::FileSystem::Instance().GetUserDataDirectory("", folder))
            return std::string();
        return folder.empty() ? std::string("Vexa.log") : folder + "/Vexa.log";
    };
    return services;
}

}  // namespace ApplicationCore
