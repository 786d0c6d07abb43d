// The switch between game states (main thread) and the loader that enters the new
// state (loader thread; the main thread itself for "intro").
#include <chrono>
#include <exception>
#include <stdexcept>
#include <thread>

#include "engine/FileSystem/FileSystem.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/EngineError.h"
#include "game/Base/ApplicationImpl.h"
#include "game/Base/GameState.h"
#include "game/Wrappers/SoundStreamWrapper.h"

namespace GameCore {

namespace {

const char* const kSource = "Base\\Application.cpp";
const long kPollMilliseconds = 100;
const double kMinimumLoadingSeconds = 2.0;

struct StatePair {
    const char* current;
    const char* next;
};

// The switches from a current state that play the page-turn effect; every other pair plays none.
const StatePair kEffectPairs[] = {
    {"game", "game"}, {"map", "game"}, {"game", "map"}, {"menu", "map"}, {"map", "menu"}, {"intro", "menu"},
};

}  // namespace

void Application::Impl::StartCurrentStateChanging()
{
    if (!next)
        EngineCore::ThrowEngineError(kSource, 406, "Error[StartCurrentStateChanging]: next game state is empty.");

    const std::string& nextName = next->GetStateName();
    const bool intro = nextName == "intro";
    bool pageEffect = false;

    if (current) {
        const std::string& currentName = current->GetStateName();
        for (const StatePair& pair : kEffectPairs)
            pageEffect = pageEffect || (currentName == pair.current && nextName == pair.next);
        if (currentName == "game" && nextName == "game")
            system->SetBackgroundEndTexture(current->GetBackgroundEndTexture());
        else if (currentName == "game" && nextName == "map")
            system->SetBackgroundEndTexture(std::string());
        const bool gameLoading = intro || (currentName == "game" && nextName == "game");

        current->OnLeave();
        system->SystemReset(gameLoading);
        if (intro)
            EngineCore::GUISystem::Instance().HideCursor(true);
    } else if (intro) {
        EngineCore::GUISystem::Instance().HideCursor(true);
    } else {
        pageEffect = nextName == "game" || nextName == "menu" || nextName == "map";
        system->SystemReset(false);
    }

    MakeCurrent(next);
    next.reset();

    // Cleared here, before any loader can run: the loader writes it, and the main
    // thread reads it only after the load has ended.
    loaderError.clear();

    if (intro) {
        LoadGameState(current.get(), true, false);
        SoundStreamWrapper::EndLoad();
        if (!loaderError.empty())
            throw std::runtime_error(loaderError);
        return;
    }

    // The GUI is reset here, on the thread that draws it, rather than by the loader.
    EngineCore::GUISystem::Instance().Reset();
    // A previous loader has always ended or given up by now; Start joins it.
    thread.Start([this, pageEffect](void* data) { LoadGameState(static_cast<GameState*>(data), false, pageEffect); },
                 current.get());
}

void Application::Impl::MakeCurrent(const std::shared_ptr<GameState>& state)
{
    current = state;
    if (state)
        EngineCore::RenderSystem::Instance().SetCurrentGameState(state->GetStateName().c_str());
}

void Application::Impl::EndLoading()
{
    EngineCore::MutexLocker lock(mutex);
    loading = false;
    EngineCore::RenderSystem::Instance().SetWaitingStatus(false);
}

bool Application::Impl::SleepUnlessQuit(long milliseconds)
{
    while (milliseconds > 0) {
        if (Get(&Impl::quit))
            return false;
        const long step = milliseconds < kPollMilliseconds ? milliseconds : kPollMilliseconds;
        std::this_thread::sleep_for(std::chrono::milliseconds(step));
        milliseconds -= step;
    }
    return !Get(&Impl::quit);
}

void Application::Impl::LoadGameState(GameState* state, bool synchronous, bool pageEffect)
{
    Set(&Impl::frameShown, false);
    {
        EngineCore::MutexLocker lock(mutex);
        loading = true;
        EngineCore::RenderSystem::Instance().SetWaitingStatus(true);
    }

    // Giving up for the quit flag still ends the load, so that the next frame sees
    // the quit flag instead of a load that never ends.
    if (!synchronous) {
        while (!Get(&Impl::frameShown)) {
            if (Get(&Impl::quit)) {
                EndLoading();
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
        }
    }

    try {
        const auto start = std::chrono::steady_clock::now();
        // "Base" is indexed again once, after the command line's folders: a loose file
        // there wins every tie of dates (to the second) against them, and only a strictly
        // newer copy elsewhere replaces it. Its packs are mounted once, so their entries
        // keep the place they had.
        if (Get(&Impl::firstLoad)) {
            Set(&Impl::firstLoad, false);
            EngineCore::FileSystem::Instance().AddDirectory("Base");
        }
        state->Enter(synchronous);
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        if (pageEffect) {
            if (!state->GetBackgroundTexture().empty())
                system->SetBackgroundTexture(state->GetBackgroundTexture());
            const std::string old = system->GetBackgroundEndTexture();
            if (old.empty() || (old != state->GetBackgroundEndTexture() && old != state->GetBackgroundTexture())) {
                Set(&Impl::pageFx, true);
                while (Get(&Impl::pageFx)) {
                    if (Get(&Impl::quit)) {
                        EndLoading();
                        return;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
                }
            }
        } else if (state->GetStateName() != "intro" && elapsed < kMinimumLoadingSeconds) {
            const long rest = static_cast<long>((kMinimumLoadingSeconds - elapsed) * 1000.0);
            if (!SleepUnlessQuit(rest)) {
                EndLoading();
                return;
            }
        }
    } catch (const std::exception& error) {
        loaderError = error.what();
    } catch (...) {
        loaderError = "Unknown exception";
    }
    EndLoading();
}

}  // namespace GameCore
