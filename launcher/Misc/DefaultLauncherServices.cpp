#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "backend/Base/HGEEngineWrapperApplication.h"
#include "engine/FileSystem/FileSystem.h"
#include "platform/hge/hge.h"
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
    if (const char* delta = std::getenv("KELDRY_TEST_FIXED_DELTA")) {
        const float seconds = std::strtof(delta, nullptr);
        services.beforeLoop = [seconds] {
            if (HGE* hge = hgeCreate(HGE_VERSION)) {
                hge->Test_SetFixedDelta(seconds);
                hge->Release();
            }
        };
    }
    if (const char* snapshot = std::getenv("KELDRY_TEST_SNAPSHOT")) {
        const std::string path = snapshot;
        services.afterLoop = [path] {
            if (HGE* hge = hgeCreate(HGE_VERSION)) {
                hge->System_Snapshot(path.c_str());
                hge->Release();
            }
        };
    }
    return services;
}

}  // namespace ApplicationCore
