#include "backend/Base/HGESoundStream.h"

#include <mutex>
#include <set>
#include <string>

#include "backend/Base/HGEChannel.h"
#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/FileSystem/MountedPlaces.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGESoundStream";

// Recursive: a play loads a further copy, a load releases first. Never destroyed, so
// streams that die at process exit can still take it.
std::recursive_mutex& Lock()
{
    static auto* mutex = new std::recursive_mutex;
    return *mutex;
}

std::set<HGESoundStream*>* g_registry = nullptr;
float g_soundVolume = 1.0f;
float g_musicVolume = 1.0f;

HGE* Hge()
{
    return HGEChannelRecord::Hge();
}

}  // namespace

HGESoundStream::HGESoundStream()
{
    _pairs.reserve(10);
    std::lock_guard<std::recursive_mutex> lock(Lock());
    if (!g_registry)
        g_registry = new std::set<HGESoundStream*>;
    g_registry->insert(this);
}

HGESoundStream::~HGESoundStream()
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    if (g_registry)
        g_registry->erase(this);
    Release();
}

std::shared_ptr<EngineCore::Resource> HGESoundStream::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGESoundStream);
}

void HGESoundStream::SetGlobalVolume(float volume, bool music)
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    (music ? g_musicVolume : g_soundVolume) = volume;
    if (!g_registry)
        return;
    for (HGESoundStream* stream : *g_registry)
        if (stream->IsMusic() == music)
            stream->SetVolume(volume);
}

void HGESoundStream::Close()
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    delete g_registry;
    g_registry = nullptr;
}

int HGESoundStream::GetCopyCount() const
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    return static_cast<int>(_pairs.size());
}

float HGESoundStream::RememberedVolume() const
{
    return IsMusic() ? g_musicVolume : g_soundVolume;
}

bool HGESoundStream::IsValidIndex(int index) const
{
    return index >= 0 && index < static_cast<int>(_pairs.size());
}

bool HGESoundStream::IsValid() const
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    for (const Pair& pair : _pairs)
        if (pair.stream)
            return true;
    return false;
}

bool HGESoundStream::IsPlaying(int index) const
{
    if (!IsValidIndex(index))
        return false;
    const Pair& pair = _pairs[static_cast<size_t>(index)];
    HGE* hge = Hge();
    return pair.stream && pair.channel && hge && hge->Channel_IsPlaying(pair.channel);
}

bool HGESoundStream::IsPlaying() const
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    for (int i = 0; i < static_cast<int>(_pairs.size()); ++i)
        if (IsPlaying(i))
            return true;
    return false;
}

void HGESoundStream::Init()
{
    {
        std::lock_guard<std::recursive_mutex> lock(Lock());
        Release();
    }
    const std::string name = GetName();
    if (name.empty())
        EngineCore::ThrowEngineError(kSource, 120, "Resource must have name.");
    Hge()->System_Log("Stream_Load (%s)...", name.c_str());
    // The file is read before the lock is taken: a volume change on the main thread must not
    // wait for a read on the loader thread. Only this object's own loads touch `_file`.
    std::shared_ptr<EngineCore::CachedFile> file = _file;
    if (!file || file->GetInfo().GetFileName() != name) {
        if (!EngineCore::FileSystem::Instance().GetFile(name.c_str(), file) || !file) {
            EngineCore::LogWhereLookedFor(name);
            EngineCore::ThrowEngineErrorF(kSource, 128, "Resource (%s) loading error.", name.c_str());
        }
    }
    std::lock_guard<std::recursive_mutex> lock(Lock());
    _file = file;
    _pairs.push_back(Pair());
    Init(0);
}

void HGESoundStream::Init(int index)
{
    if (!IsValidIndex(index))
        return;
    Release(index);
    const std::string name = GetName();
    if (name.empty())
        EngineCore::ThrowEngineError(kSource, 120, "Resource must have name.");
    HGE* hge = Hge();
    if (!_file || _file->GetInfo().GetFileName() != name) {
        std::shared_ptr<EngineCore::CachedFile> file;
        if (!EngineCore::FileSystem::Instance().GetFile(name.c_str(), file) || !file) {
            EngineCore::LogWhereLookedFor(name);
            EngineCore::ThrowEngineErrorF(kSource, 128, "Resource (%s) loading error.", name.c_str());
        }
        _file = file;
    }
    const HSTREAM stream =
        _file->GetSize() > 0 ? hge->Stream_Load(_file->GetData(), static_cast<DWORD>(_file->GetSize())) : 0;
    if (!stream)
        EngineCore::ThrowEngineErrorF(kSource, 134, "Resource (%s) initialize error.", name.c_str());
    _pairs[static_cast<size_t>(index)].stream = stream;
    _volume = RememberedVolume();
    SetVolume(index);
    if (index == 0)
        hge->System_Log("Stream_Load (%s)...ok", name.c_str());
}

void HGESoundStream::Release(int index)
{
    if (!IsValidIndex(index))
        return;
    Pair& pair = _pairs[static_cast<size_t>(index)];
    HGE* hge = Hge();
    if (pair.channel) {
        if (hge)
            hge->Channel_Stop(pair.channel);
        pair.channel = 0;
    }
    if (pair.stream) {
        if (hge) {
            hge->Stream_Free(pair.stream);
            if (index == 0)
                hge->System_Log("Stream_Free (%s)...ok", GetName());
        }
        pair.stream = 0;
    }
}

void HGESoundStream::Release()
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    for (int i = 0; i < static_cast<int>(_pairs.size()); ++i)
        Release(i);
    _pairs.clear();
}

void HGESoundStream::Play(bool loop)
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    if (_pairs.empty())
        return;
    if (_loop && !loop)
        Stop();
    _loop = loop;
    if (_loop)
        Stop();
    for (int i = 0; i < static_cast<int>(_pairs.size()); ++i) {
        if (!IsPlaying(i) && _pairs[static_cast<size_t>(i)].stream) {
            Play(i, loop);
            return;
        }
    }
    const int n = static_cast<int>(_pairs.size());
    _pairs.push_back(Pair());
    try {
        Init(n);
    } catch (...) {
        _pairs.pop_back();
        throw;
    }
    Play(n, loop);
}

void HGESoundStream::Play(int index, bool loop)
{
    if (!IsValidIndex(index))
        return;
    Pair& pair = _pairs[static_cast<size_t>(index)];
    if (!pair.stream || IsPlaying(index))
        return;
    _volume = RememberedVolume();
    SetVolume(index);
    pair.channel = Hge()->Stream_Play(pair.stream, loop, HgeVolume(_volume));
}

void HGESoundStream::Stop(int index)
{
    if (!IsPlaying(index))
        return;
    Pair& pair = _pairs[static_cast<size_t>(index)];
    Hge()->Channel_Stop(pair.channel);
    pair.channel = 0;
}

void HGESoundStream::Stop()
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    for (int i = 0; i < static_cast<int>(_pairs.size()); ++i)
        Stop(i);
}

void HGESoundStream::Pause()
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    for (int i = 0; i < static_cast<int>(_pairs.size()); ++i)
        if (IsPlaying(i))
            Hge()->Channel_Pause(_pairs[static_cast<size_t>(i)].channel);
}

void HGESoundStream::Resume()
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    for (int i = 0; i < static_cast<int>(_pairs.size()); ++i) {
        const Pair& pair = _pairs[static_cast<size_t>(i)];
        if (pair.channel && !IsPlaying(i))
            Hge()->Channel_Resume(pair.channel);
    }
}

void HGESoundStream::SetVolume(int index)
{
    if (IsPlaying(index))
        Hge()->Channel_SetVolume(_pairs[static_cast<size_t>(index)].channel, HgeVolume(_volume));
}

void HGESoundStream::SetVolume(float volume)
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    _volume = volume > 1.0f ? 1.0f : volume;
    for (int i = 0; i < static_cast<int>(_pairs.size()); ++i)
        SetVolume(i);
}

}  // namespace MobrixCore
