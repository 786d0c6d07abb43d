#pragma once
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/Audio/SoundStream.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/Wrappers/HeldResource.h"

struct lua_State;

namespace GameCore {

// Script class "SoundStream": one streamed sound, shared by name with the resource manager
// and with every other object that loaded the same name. A stream flagged as music takes
// part in the class-wide music change: starting a music other than the one started last
// fades the previous one out in 20 steps over about two seconds of game time, then stops
// it. Collecting an object stops its stream unless it is flagged as music.
//
// The music-change state is class-wide and holds the streams it names, so it never depends
// on the script object that started a change (usually a local the collector frees at once).
// Scripts reach it from the loader thread and the main thread: `_musicMutex` guards it.
//
// The fade belongs to the music, not to a game state: there is one fade at a time, and the
// application steps it on the main thread on every frame, loading or not, so the old music
// stops two seconds of game time after the change whatever becomes of the state that asked
// (left in its first frame, switching on during its own load). A frame steps it before any
// of its scripts run, so the time of the frame in which a change is made never counts: the
// fade's clock starts with the next frame, and the old music stops in the first frame at or
// past 2.01 s of it. A change made by a state being entered on the loader thread waits for
// the end of that load and is taken as made in the frame in which the main thread sees that
// end: the clock starts with the loaded state's first frame, which its two seconds are
// meant to cover. The fade's clock carries game time over from step to step, so each step
// comes on the first frame at or after its time whatever the frame rate; it counts whole
// microseconds, so that frame times that add up to a step's time reach it exactly.
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
    // Steps the running fade by `dt` seconds of game time (main thread, every frame, before
    // the frame's scripts).
    static void UpdateFades(float dt);
    // The main thread has seen the end of the load that entered a state: a fade the state's
    // scripts started counts from the next frame on.
    static void EndLoad();

protected:
    // Starts the fade-out of `stream`, replacing a running fade (see above).
    void StopMusic(const std::shared_ptr<EngineCore::Resource>& stream);
    // One fade step, under the music lock; the 21st stops the faded stream.
    static void UpdateStopMusic();

private:
    // Throws the not-loaded message; methods call it before reading any argument.
    EngineCore::SoundStream& Loaded() const;
    void PlayMusic(bool loop);

    bool _isMusic = false;
    HeldResource<EngineCore::SoundStream> _soundStream;

    static std::recursive_mutex _musicMutex;
    // Steps the running fade has made.
    static int _lastTimerCounter;
    // Game time the running fade has run, in microseconds.
    static int64_t _fadeMicroseconds;
    // The running fade was started by a state being entered and waits for its load's end.
    static bool _fadeWaitsForLoad;
    static EngineCore::SoundStream* _stopedSoundPtr;
    static std::shared_ptr<EngineCore::Resource> _stopedSoundResource;
    static EngineCore::SoundStream* _lastPlayedSoundPtr;
    static std::shared_ptr<EngineCore::Resource> _lastPlayedSoundResource;
};

}  // namespace GameCore
