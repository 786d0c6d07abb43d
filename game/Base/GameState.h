#pragma once
#include <functional>
#include <memory>
#include <string>

struct lua_State;

namespace GameCore {

class Application;
class GameLogic;

// One named game state: its own interpreter with the game-state script classes,
// its start-up script, its timers and character animations, and an optional
// per-frame updater. The state named "system" also drives the loading screen
// through the System* operations.
//
// Whatever runs in the interpreter (entering, frames, the System* operations, script
// runs) runs inside a StateCallback::Scope of this state: the state is then the
// calling state of that thread, under which new objects are filed and whose
// interpreter runs the script text they ask for (see StateCallback.h for the rule).
// Callbacks of its objects run here only through the StateCallback they captured.
class GameState : public std::enable_shared_from_this<GameState> {
public:
    ~GameState();
    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

    const std::string& GetStateName() const;
    GameLogic& GetGameLogic() const;

    void SetStartupScript(const std::string& path);
    void SetBackgroundTexture(const std::string& name);
    void SetBackgroundEndTexture(const std::string& name);
    // Copies: the loader thread and the loading screen both reach the "system" state's.
    std::string GetBackgroundTexture() const;
    std::string GetBackgroundEndTexture() const;

    void SetUpdaterFunction(const std::function<void(float)>& updater);

    void Open();
    void OnEnter();
    void OnFrame(float dt);
    void OnLeave();
    void Close();
    void Close(bool, int, int);

    // Both return false while the state's interpreter is closed (the state was left).
    bool RunScript(const std::string& path);
    bool RunScriptString(const std::string& text);
    // True from the end of entering (its scripts have run) until it is left. Read from
    // the main thread while the loader thread enters the state.
    bool IsEntered() const;

    void SystemReset(bool gameLoading);
    float GetSystemFrameTime() const;
    void SystemInit();
    // One loading-screen frame: the script's Loading.Update and the cursor player. The
    // state's own timers do not run on it, nor anywhere else: the "system" state is never
    // updated as the current state (Loading.frameTime keeps the loading screen's time).
    void SystemUpdate(float dt);
    void SystemInvalidateCursor();
    void SystemLastUpdate();
    void StopPageFX();

protected:
    explicit GameState(const std::string& name);

private:
    friend class Application;
    // Entering without the GUI reset: the loader thread's entry, whose GUI reset the
    // main thread made before the loader started.
    void Enter(bool resetGui);

    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
