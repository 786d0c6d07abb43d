#include <SDL.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "backend/Base/HGEEngineWrapperApplication.h"
#include "engine/FileSystem/FileSystem.h"
#include "platform/hge/hge.h"
#include "launcher/Misc/LauncherServices.h"
#include "launcher/Misc/StopSignals.h"
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
        // The error box ends the run: while it waits for a click, a stop signal must not.
        if (kind == DialogKind::Error)
            EndAtOnceOnStopSignals();
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
    // Empty when the log does not exist: nothing was written to it.
    services.logPath = [] {
        std::string folder;
        if (!EngineCore::FileSystem::Instance().GetUserDataDirectory("", folder))
            return std::string();
        const std::string path = folder.empty() ? std::string("Vexa.log") : folder + "/Vexa.log";
        struct stat info {};
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return std::string();
        return path;
    };
    // The log file's place, once the back-end has opened it; and the test hook.
    const char* delta = std::getenv("KELDRY_TEST_FIXED_DELTA");
    const float seconds = delta ? std::strtof(delta, nullptr) : 0.0f;
    const std::function<std::string()> logPath = services.logPath;
    services.beforeLoop = [seconds, logPath] {
        const std::string path = logPath();
        if (!path.empty())
            std::fprintf(stderr, "Log file: %s\n", path.c_str());
        if (seconds > 0.0f) {
            if (HGE* hge = hgeCreate(HGE_VERSION)) {
                hge->Test_SetFixedDelta(seconds);
                hge->Release();
            }
        }
    };
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
