#pragma once
// The application's private record, shared by its two sources: the object and its
// frame (Application.cpp) and the game-state switch with its loader (ApplicationLoader.cpp).
#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "engine/System/Mutex.h"
#include "engine/System/MutexLocker.h"
#include "engine/System/Thread.h"
#include "game/Base/Application.h"

namespace GameCore {

struct Application::Impl {
    // Guarded by `mutex`, one read or one write per hold.
    bool quit = false;
    bool loading = false;
    // Main thread only.
    bool wasLoading = false;
    // Guarded by `mutex`.
    bool frameShown = false;
    bool pageFx = false;
    // "Base" is indexed again by the first load of a run. Loaders run one at a time.
    bool firstLoad = true;
    // The run has loaded the profiles, so its release saves them. Main thread only.
    bool profilesLoaded = false;

    // Set by any state's script, also one being entered on the loader thread; read by every frame.
    std::atomic<float> animationSpeed{1.0f};
    int processorCount = 1;
    int stageNumber = 1;
    int levelNumber = 1;
    std::string userPath = "Tollevane\\Quorrel_1.0";
    // Written by the loader before it clears `loading`; read by the main thread only
    // after it has seen `loading` clear.
    std::string loaderError;
    std::string startupScript = "Base/Scripts/GameAPI.lua";
    std::map<std::string, std::shared_ptr<GameState>> states;
    std::shared_ptr<GameState> next;
    std::shared_ptr<GameState> system;
    std::shared_ptr<GameState> current;
    std::shared_ptr<GameState> pendingRemoval;
    EngineCore::Thread thread;
    mutable EngineCore::Mutex mutex;

    bool Get(bool Impl::*flag) const
    {
        EngineCore::MutexLocker lock(mutex);
        return this->*flag;
    }

    void Set(bool Impl::*flag, bool value)
    {
        EngineCore::MutexLocker lock(mutex);
        this->*flag = value;
    }

    // Makes `state` the current state. With no script running, the owner of what a
    // thread makes is the current state by both faces of the one rule (the render
    // system's name and StateCallback::CallingState), so a state made current is named
    // to the render system at once, not only when it is entered.
    void MakeCurrent(const std::shared_ptr<GameState>& state);
    void StartCurrentStateChanging();
    void LoadGameState(GameState* state, bool synchronous, bool pageEffect);
    // Ends a load: loading flag clear and the render system out of waiting mode.
    void EndLoading();
    // Sleeps `milliseconds` in steps of at most 100 ms; false as soon as the quit flag is seen.
    bool SleepUnlessQuit(long milliseconds);
    // Back to the start of a run, once no loader runs: no quit asked, no load seen.
    void ResetRun();
};

}  // namespace GameCore
