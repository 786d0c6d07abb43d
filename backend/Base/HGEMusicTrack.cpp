#include "backend/Base/HGEMusicTrack.h"

#include <string>

#include "engine/FileSystem/FileSystem.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGEMusicTrack";

}  // namespace

HGEMusicTrack::HGEMusicTrack() = default;

HGEMusicTrack::~HGEMusicTrack()
{
    Release();
}

std::shared_ptr<EngineCore::Resource> HGEMusicTrack::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGEMusicTrack);
}

void HGEMusicTrack::Init()
{
    Release();
    const std::string name = GetName();
    if (name.empty())
        EngineCore::ThrowEngineError(kSource, 60, "Resource must have name.");
    HGE* hge = HGEChannelRecord::Hge();
    hge->System_Log("Music_Load (%s)...", name.c_str());

    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(name.c_str(), file) || !file)
        EngineCore::ThrowEngineErrorF(kSource, 66, "Resource (%s) loading error.", name.c_str());
    const HMUSIC handle =
        file->GetSize() > 0 ? hge->Music_Load(file->GetData(), static_cast<DWORD>(file->GetSize())) : 0;
    if (!handle)
        EngineCore::ThrowEngineErrorF(kSource, 70, "Resource (%s) initialize error.", name.c_str());
    _record.handle = handle;
    hge->System_Log("Music_Load (%s)...ok", name.c_str());
}

void HGEMusicTrack::Release()
{
    _record.DropChannel();
    if (!_record.handle)
        return;
    if (HGE* hge = HGEChannelRecord::Hge()) {
        hge->Music_Free(_record.handle);
        hge->System_Log("Music_Free (%s)...ok", GetName());
    }
    _record.handle = 0;
}

void HGEMusicTrack::Play(bool loop)
{
    if (!_record.handle || _record.IsPlaying())
        return;
    _record.channel = HGEChannelRecord::Hge()->Music_Play(_record.handle, loop, HgeVolume(_record.volume), -1, -1);
}

}  // namespace MobrixCore
