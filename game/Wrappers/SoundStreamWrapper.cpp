#include "game/Wrappers/SoundStreamWrapper.h"

#include <lua.hpp>

#include <algorithm>

#include "engine/Audio/MusicSystem.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Base/StateCallback.h"
#include "game/Logic/GameLogic.h"
#include "game/Logic/Timer.h"
#include "game/Logic/TimerStorage.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\SoundStreamWrapper.cpp";

// The fade lasts this many ticks: the first after 0.01 s, the others 0.1 s apart.
const int kFadeTicks = 20;
const float kFirstTick = 0.01f;
const float kTickPeriod = 0.1f;

}  // namespace

const char SoundStreamWrapper::className[] = "SoundStream";

std::recursive_mutex SoundStreamWrapper::_musicMutex;
int SoundStreamWrapper::_lastTimerCounter = 0;
EngineCore::SoundStream* SoundStreamWrapper::_stopedSoundPtr = nullptr;
std::shared_ptr<EngineCore::Resource> SoundStreamWrapper::_stopedSoundResource;
EngineCore::SoundStream* SoundStreamWrapper::_lastPlayedSoundPtr = nullptr;
std::shared_ptr<EngineCore::Resource> SoundStreamWrapper::_lastPlayedSoundResource;
std::map<const TimerStorage*, std::shared_ptr<Timer>> SoundStreamWrapper::_fadeTimers;
const Timer* SoundStreamWrapper::_activeFade = nullptr;
TimerStorage SoundStreamWrapper::_frameClock;

const GameLuaScriptImpl::LuaHelper<SoundStreamWrapper>::RegType SoundStreamWrapper::methods[] = {
    {"Play", &SoundStreamWrapper::Play},
    {"Stop", &SoundStreamWrapper::Stop},
    {"Load", &SoundStreamWrapper::Load},
    {"Pause", &SoundStreamWrapper::Pause},
    {"Resume", &SoundStreamWrapper::Resume},
    {"SetVolume", &SoundStreamWrapper::SetVolume},
    {"SetIsMusic", &SoundStreamWrapper::SetIsMusic},
    {nullptr, nullptr},
};

SoundStreamWrapper::SoundStreamWrapper(lua_State*) {}

SoundStreamWrapper::~SoundStreamWrapper()
{
    if (EngineCore::SoundStream* stream = _soundStream.Get(); stream && !_isMusic)
        stream->Stop();
}

EngineCore::SoundStream& SoundStreamWrapper::Loaded() const
{
    return _soundStream.Require(kSource, 60, "Sound is not initialized. First call - Load().");
}

int SoundStreamWrapper::Play(lua_State* L)
{
    EngineCore::SoundStream& stream = Loaded();
    const bool loop = CheckFlagExactlyOne(L, 1);
    if (_isMusic)
        PlayMusic(loop);
    else
        stream.Play(loop);
    return 0;
}

void SoundStreamWrapper::PlayMusic(bool loop)
{
    std::lock_guard<std::recursive_mutex> lock(_musicMutex);
    EngineCore::SoundStream* stream = _soundStream.Get();
    if (_lastPlayedSoundPtr == stream) {
        if (!stream->IsPlaying())
            stream->Play(loop);
        return;
    }
    if (_lastPlayedSoundPtr)
        StopMusic(_lastPlayedSoundResource);
    stream->Play(loop);
    _lastPlayedSoundPtr = stream;
    _lastPlayedSoundResource = _soundStream.Shared();
}

void SoundStreamWrapper::StopMusic(const std::shared_ptr<EngineCore::Resource>& stream)
{
    std::lock_guard<std::recursive_mutex> lock(_musicMutex);
    const std::shared_ptr<EngineCore::Resource>& own = _soundStream.Shared();
    if (_stopedSoundPtr && _stopedSoundResource != stream && _stopedSoundResource != own)
        _stopedSoundPtr->Stop();
    if (stream == own)
        return;

    const std::shared_ptr<GameState> state = StateCallback::CallingState();
    if (!state) {
        // No state to time a fade: the old music stops at once.
        if (auto* old = dynamic_cast<EngineCore::SoundStream*>(stream.get()))
            old->Stop();
        _stopedSoundPtr = nullptr;
        _stopedSoundResource.reset();
        return;
    }
    _stopedSoundResource = stream;
    _stopedSoundPtr = dynamic_cast<EngineCore::SoundStream*>(stream.get());
    _lastTimerCounter = 0;
    // A state being entered during a load runs its scripts on the loader thread, which
    // must never touch the frame clock: its fade waits in its own storage for its frames.
    // Only the calling thread's earlier fade timer is replaced (and freed); one of another
    // storage stays there, stale.
    const bool beingLoaded = !state->IsEntered() && Application::Instance().IsWaiting();
    TimerStorage& storage = beingLoaded ? state->GetGameLogic().GetTimerStorage() : _frameClock;
    std::shared_ptr<Timer> timer = storage.CreateTimer();
    timer->SetupAction(&SoundStreamWrapper::UpdateStopMusic, timer.get());
    timer->SetupTime(kFirstTick);
    _activeFade = timer.get();
    _fadeTimers[&storage] = std::move(timer);
}

void SoundStreamWrapper::UpdateStopMusic(void* ticking)
{
    std::lock_guard<std::recursive_mutex> lock(_musicMutex);
    if (ticking != _activeFade)
        return;
    const int n = ++_lastTimerCounter;
    if (!_stopedSoundPtr)
        return;
    const float music = EngineCore::MusicSystem::Instance().GetVolume();
    const float volume = std::min(std::max(static_cast<float>(kFadeTicks - n) / kFadeTicks * music, 0.0f), 1.0f);
    _stopedSoundPtr->SetVolume(volume);
    if (n <= kFadeTicks) {
        // The ticking timer runs this on its own state's thread and is alive meanwhile.
        static_cast<Timer*>(ticking)->SetupTime(kTickPeriod);
        return;
    }
    _stopedSoundPtr->SetVolume(0.0f);
    _stopedSoundPtr->Stop();
    _stopedSoundPtr->SetVolume(1.0f);
    _stopedSoundPtr = nullptr;
    _stopedSoundResource.reset();
}

void SoundStreamWrapper::UpdateFades(float dt)
{
    // Not under the music lock: a tick takes it, and only this thread files timers here.
    _frameClock.Update(dt);
}

void SoundStreamWrapper::ClearResources()
{
    std::lock_guard<std::recursive_mutex> lock(_musicMutex);
    _fadeTimers.clear();
    _activeFade = nullptr;
    _stopedSoundPtr = nullptr;
    _lastPlayedSoundPtr = nullptr;
    _stopedSoundResource.reset();
    _lastPlayedSoundResource.reset();
}

int SoundStreamWrapper::Stop(lua_State*)
{
    Loaded().Stop();
    return 0;
}

int SoundStreamWrapper::Load(lua_State* L)
{
    _soundStream.Load(CheckString(L, 1), EngineCore::Resource::RT_SOUND_STREAM, kSource, 150);
    return 0;
}

int SoundStreamWrapper::Pause(lua_State*)
{
    Loaded().Pause();
    return 0;
}

int SoundStreamWrapper::Resume(lua_State*)
{
    Loaded().Resume();
    return 0;
}

int SoundStreamWrapper::SetVolume(lua_State* L)
{
    EngineCore::SoundStream& stream = Loaded();
    stream.SetVolume(CheckFloat(L, 1));
    return 0;
}

int SoundStreamWrapper::SetIsMusic(lua_State* L)
{
    EngineCore::SoundStream& stream = Loaded();
    _isMusic = CheckFlagTruncatedOne(L, 1);
    stream.SetIsMusic(_isMusic);
    return 0;
}

}  // namespace GameCore
