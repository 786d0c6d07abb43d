#include "game/Wrappers/SoundStreamWrapper.h"

#include <lua.hpp>

#include <algorithm>
#include <cmath>

#include "engine/Audio/MusicSystem.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Base/StateCallback.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\SoundStreamWrapper.cpp";

// The fade steps the volume down this many times, the first step 0.01 s after the change
// and the others 0.1 s apart; one step more stops the music (2.01 s after the change).
const int kFadeTicks = 20;
const int64_t kFirstTickMicroseconds = 10000;
const int64_t kTickPeriodMicroseconds = 100000;

// Game time at which step `n` (from 1) of a fade is due.
int64_t TickDue(int n)
{
    return kFirstTickMicroseconds + static_cast<int64_t>(n - 1) * kTickPeriodMicroseconds;
}

}  // namespace

const char SoundStreamWrapper::className[] = "SoundStream";

std::recursive_mutex SoundStreamWrapper::_musicMutex;
int SoundStreamWrapper::_lastTimerCounter = 0;
int64_t SoundStreamWrapper::_fadeMicroseconds = 0;
bool SoundStreamWrapper::_fadeWaitsForLoad = false;
EngineCore::SoundStream* SoundStreamWrapper::_stopedSoundPtr = nullptr;
std::shared_ptr<EngineCore::Resource> SoundStreamWrapper::_stopedSoundResource;
EngineCore::SoundStream* SoundStreamWrapper::_lastPlayedSoundPtr = nullptr;
std::shared_ptr<EngineCore::Resource> SoundStreamWrapper::_lastPlayedSoundResource;

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
        // No game runs to give the fade its frames: the old music stops at once.
        if (auto* old = dynamic_cast<EngineCore::SoundStream*>(stream.get()))
            old->Stop();
        _stopedSoundPtr = nullptr;
        _stopedSoundResource.reset();
        return;
    }
    _stopedSoundResource = stream;
    _stopedSoundPtr = dynamic_cast<EngineCore::SoundStream*>(stream.get());
    _lastTimerCounter = 0;
    _fadeMicroseconds = 0;
    // Only the state being entered runs scripts while it is not entered and a load runs.
    _fadeWaitsForLoad = !state->IsEntered() && Application::Instance().IsWaiting();
}

void SoundStreamWrapper::UpdateStopMusic()
{
    const int n = ++_lastTimerCounter;
    if (!_stopedSoundPtr)
        return;
    const float music = EngineCore::MusicSystem::Instance().GetVolume();
    const float volume = std::min(std::max(static_cast<float>(kFadeTicks - n) / kFadeTicks * music, 0.0f), 1.0f);
    _stopedSoundPtr->SetVolume(volume);
    if (n <= kFadeTicks)
        return;
    _stopedSoundPtr->SetVolume(0.0f);
    _stopedSoundPtr->Stop();
    _stopedSoundPtr->SetVolume(1.0f);
    _stopedSoundPtr = nullptr;
    _stopedSoundResource.reset();
}

void SoundStreamWrapper::UpdateFades(float dt)
{
    std::lock_guard<std::recursive_mutex> lock(_musicMutex);
    if (!_stopedSoundPtr || _fadeWaitsForLoad || !(dt > 0.0f))
        return;
    // A frame longer than the whole fade ends it all the same.
    const double seconds = std::min(static_cast<double>(dt), 10.0);
    _fadeMicroseconds += std::llround(seconds * 1e6);
    // Every step that came due in this frame, in order; the last one clears the stream.
    while (_stopedSoundPtr && _fadeMicroseconds >= TickDue(_lastTimerCounter + 1))
        UpdateStopMusic();
}

void SoundStreamWrapper::EndLoad()
{
    std::lock_guard<std::recursive_mutex> lock(_musicMutex);
    _fadeWaitsForLoad = false;
}

void SoundStreamWrapper::ClearResources()
{
    std::lock_guard<std::recursive_mutex> lock(_musicMutex);
    _fadeWaitsForLoad = false;
    _fadeMicroseconds = 0;
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
