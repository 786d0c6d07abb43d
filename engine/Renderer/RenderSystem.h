#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace EngineCore {

class Resource;
class ScreenBuffer;
class Sprite;

// The drawing hub. It knows the current game state by name, keeps every live
// sprite filed under the state that owns it (GameStateScope::Owner), and
// once a frame updates and draws the current state's sprites in priority order,
// then the particle systems, then the GUI. While a state loads (waiting mode) it
// draws only the "system" state's sprites and the GUI.
class RenderSystem {
public:
    // Field order matters to the launcher and the profiles; this class never
    // reads a field, it only stores and hands on the record.
    struct ScreenSettings {
        int32_t bpp = 0;
        int32_t width = 0;
        int32_t height = 0;
        int32_t spareWidth = 0;
        int32_t spareHeight = 0;
        bool windowed = false;
        bool stretch = false;
    };

    static RenderSystem& Instance();

    // Held around a script call that reads or changes a sprite another thread may reach.
    // While a load runs, the loading frame draws the "system" state's sprites under the
    // render lock, and the loader thread can bind one of them by name: the guard then
    // takes that lock, so a setter never runs during the draw or beside a setter of the
    // other thread. When no load runs it takes nothing (one atomic load). Never held
    // while script text runs or a resource loads: the loading frame would wait for it.
    class SpriteAccess {
    public:
        SpriteAccess();
        ~SpriteAccess();
        SpriteAccess(const SpriteAccess&) = delete;
        SpriteAccess& operator=(const SpriteAccess&) = delete;

    private:
        bool _held = false;
    };

    // Makes sure the GUI system and the particle-system manager exist.
    void Init();
    // Resets the GUI system and drops its cursor.
    void Release();

    // A null name is ignored.
    void SetCurrentGameState(const char* name);
    // A copy: the loader thread may switch the state while another thread asks.
    std::string GetCurrentGameState() const;
    // Forgets the sprites filed under the state (they are not touched); null or
    // empty names are ignored.
    void RemoveGameState(const char* name);

    // Flags the render list for rebuilding before the next normal frame.
    void ResortSprites();

    void SetWaitingStatus(bool waiting);
    bool IsWaiting() const;

    // The per-frame update and draw (main thread).
    void Update(float dt);

    // The settings asked for last (a copy: any thread may ask).
    ScreenSettings GetScreenSettings() const;
    // Stores the record, hands it to the back-end's delegate, then lets every
    // listed sprite refit its video mode. During a load (waiting mode) only the
    // record is stored: the requests are held for ApplyHeldScreenSettings.
    void ApplyScreenSettings(const ScreenSettings& settings);
    // Where a frame starts, on the main thread, once the load has ended: hands on the
    // requests held during the load, in order, and refits the current state's sprites,
    // never the loading screen's. Nothing during a load.
    void ApplyHeldScreenSettings();
    // The launcher installs the back-end's screen-settings delegate here.
    void SetChangeScreenSettingsFunction(const std::function<void(const ScreenSettings&)>& fn);
    void UpdateScreenSettingsFunction(const std::function<void(const ScreenSettings&, void*)>& fn,
                                      void* userData);
    // Called by the back-end after it restored the graphics with new settings:
    // stores the record and tells the scripts' updater, not the back-end.
    void SetChangedScreenSettings(const ScreenSettings& settings);

    void SetScreenBufferInstance(const std::shared_ptr<ScreenBuffer>& screenBuffer);
    // False without a screen buffer.
    bool MakeScreenshot(const char* path);
    bool GetCurrentTexture(float horizontalScale, float verticalScale, std::shared_ptr<Resource>& out) const;

    // The desktop size, supplied by the back-end (the engine opens no display).
    unsigned GetMonitorWidth() const;
    unsigned GetMonitorHeight() const;
    void SetMonitorSize(unsigned width, unsigned height);

    RenderSystem(const RenderSystem&) = delete;
    RenderSystem& operator=(const RenderSystem&) = delete;

protected:
    friend class Sprite;

    // Files the sprite under the calling game state; throws "Internal error."
    // when there is none.
    void RegisterSprite(Sprite* sprite);
    // Removes the sprite from every state and from the render list.
    void UnregisterSprite(Sprite* sprite);
    // False once the process-exit destructor has run; sprites that outlive the
    // render system then have nothing to unregister from.
    static bool IsAlive();

private:
    RenderSystem();
    ~RenderSystem();

    void RebuildRenderList();
    void UpdateWaiting(float dt);
    void UpdateNormal(float dt);
    void HandOnScreenSettings(const ScreenSettings& settings);

    struct Impl;
    Impl* _impl;
};

}  // namespace EngineCore
