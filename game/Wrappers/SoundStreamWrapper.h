#pragma once
#include <map>
#include <memory>
#include <mutex>

#include "engine/Audio/SoundStream.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/Wrappers/HeldResource.h"

struct lua_State;

namespace GameCore {

class Timer;
class TimerStorage;

// Script class "SoundStream": one streamed sound, shared by name with the resource manager
// and with every other object that loaded the same name. A stream flagged as music takes
// part in the class-wide music change: starting a music other than the one started last
// fades the previous one out over 20 ticks of a timer (about two seconds of game time), then
// stops it. Collecting an object stops its stream unless it is flagged as music.
//
// The music-change state is class-wide and holds the streams it names, so it never depends
// on the script object that started a change (usually a local the collector frees at once).
// Scripts reach it from the loader thread and the main thread: `_musicMutex` guards it.
// A fade timer is made, stepped and freed only on the thread that changed the music:
// - a change made on the thread of the frames (the current state's scripts, the loading
//   screen's) fades on the frame clock, which the application steps on every frame,
//   loading or not: the fade lasts its two seconds whatever state is current and however
//   short a load is;
// - a change made by a state being entered on the loader thread fades in that state's own
//   timer storage: it starts on the state's frames once the load has ended.
// Each storage keeps its last fade timer; only the fade started last ticks.
class SoundStreamWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<SoundStreamWrapper>::RegType methods[];

    explicit SoundStreamWrapper(lua_State* state);
    ~SoundStreamWrapper();
    SoundStreamWrapper(const SoundStreamWrapper&) = delete;
    SoundStreamWrapper& operator=(const SoundStreamWrapper&) = delete;

    int Play(lua_State* L);
    int Stop(lua_State* L);
    int Load(lua_State* L);
    int Pause(lua_State* L);
    int Resume(lua_State* L);
    int SetVolume(lua_State* L);
    int SetIsMusic(lua_State* L);

    // Forgets the music-change state without stopping anything; the tick counter stays.
    static void ClearResources();
    // Steps the frame clock by `dt` seconds of game time (thread of the frames only).
    static void UpdateFades(float dt);

protected:
    // Starts the fade-out of `stream` on a new timer of the calling thread (see above).
    void StopMusic(const std::shared_ptr<EngineCore::Resource>& stream);
    // One fade tick: the action of the fade timer `ticking`; a stale fade does nothing.
    static void UpdateStopMusic(void* ticking);

private:
    // Throws the not-loaded message; methods call it before reading any argument.
    EngineCore::SoundStream& Loaded() const;
    void PlayMusic(bool loop);

    bool _isMusic = false;
    HeldResource<EngineCore::SoundStream> _soundStream;

    static std::recursive_mutex _musicMutex;
    static int _lastTimerCounter;
    static EngineCore::SoundStream* _stopedSoundPtr;
    static std::shared_ptr<EngineCore::Resource> _stopedSoundResource;
    static EngineCore::SoundStream* _lastPlayedSoundPtr;
    static std::shared_ptr<EngineCore::Resource> _lastPlayedSoundResource;
    // Each state's last fade timer, by its storage, and the fade started last.
    static std::map<const TimerStorage*, std::shared_ptr<Timer>> _fadeTimers;
    static const Timer* _activeFade;
    static TimerStorage _frameClock;
};

}  // namespace GameCore
