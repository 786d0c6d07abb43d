#include "backend/Base/HGESound.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGESound";

}  // namespace

HGESound::HGESound() = default;

HGESound::~HGESound()
{
    Release();
}

std::shared_ptr<EngineCore::Resource> HGESound::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGESound);
}

void HGESound::Init()
{
    Release();
    _record.Load(*this, kSource, "Effect", &HGE::Effect_Load);
}

void HGESound::Release()
{
    _record.Unload(GetName(), "Effect", &HGE::Effect_Free);
}

void HGESound::Play(bool loop)
{
    if (!_record.handle)
        return;
    _record.channel = HGEChannelRecord::Hge()->Effect_PlayEx(_record.handle, HgeVolume(_record.volume), 0,
                                                             1.0f, loop);
}

}  // namespace MobrixCore
