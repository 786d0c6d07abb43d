#include "backend/Base/HGEMusicTrack.h"

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
    _record.Load(*this, kSource, "Music", &HGE::Music_Load);
}

void HGEMusicTrack::Release()
{
    _record.Unload(GetName(), "Music", &HGE::Music_Free);
}

void HGEMusicTrack::Play(bool loop)
{
    if (!_record.handle || _record.IsPlaying())
        return;
    _record.channel = HGEChannelRecord::Hge()->Music_Play(_record.handle, loop, HgeVolume(_record.volume), -1, -1);
}

}  // namespace MobrixCore
