#pragma once
#include <memory>
#include <string>
#include <vector>

namespace GameCore {

class GameState;

// The game library's application object: owns the named game states, runs the
// per-frame update and render steps for the launcher, and switches game states,
// entering each new one on its loader thread while the "system" state shows the
// loading screen.
class Application {
public:
    static Application& Instance();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const std::string& GetUserPath() const;
    void SetUserPath(const std::string& path);
    const std::string& GetStartupScript() const;
    void SetStartupScript(const std::string& path);

    void Quit();
    bool IsWaiting() const;
    void SetGlobalAnimationSpeed(float speed);

    int GetCurrentStageNumber() const;
    int GetCurrentLevelNumber() const;
    void SetCurrentStageLevel(int stage, int level);

    bool CreateGameState(const std::string& name, std::shared_ptr<GameState>& state);
    bool GetGameState(const std::string& name, std::shared_ptr<GameState>& state) const;
    // Every state's name, in name order ("system" included).
    std::vector<std::string> GetGameStateNames() const;
    bool GetCurrentGameState(std::shared_ptr<GameState>& state) const;
    void GetSystemGameState(std::shared_ptr<GameState>& state) const;
    void SetCurrentGameState(const std::shared_ptr<GameState>& state, bool immediate);
    void RemoveGameState(const std::shared_ptr<GameState>& state, bool immediate);

    void PreInit(const std::string& preStartupScript);
    void Init(const std::string& startupScript);
    bool Update(float dt);
    void UpdateRender(float dt);
    void Release();

    // Runs a start-up file in an interpreter of its own with the start-up classes. A file
    // nested more than 64 deep in other start-up files is skipped (false, with a log line).
    bool RunScript(const std::string& path);
    // In survey mode: opens the link in the user's browser and minimises the game's window.
    // Nothing otherwise, or for an empty link.
    void RunBrowser(const std::string& link);

protected:
    friend class GameState;
    bool IsPageFXStarted() const;
    void SetPageFXStarted(bool started);

private:
    Application();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
