#include "backend/Base/HGESound.h"

#include <string>

#include "engine/FileSystem/FileSystem.h"
#include "engine/System/EngineError.h"

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
    const std::string name = GetName();
    if (name.empty())
        EngineCore::ThrowEngineError(kSource, 60, "Resource must have name.");
    HGE* hge = HGEChannelRecord::Hge();
    hge->System_Log("Effect_Load (%s)...", name.c_str());

    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(name.c_str(), file) || !file)
        EngineCore::ThrowEngineErrorF(kSource, 66, "Resource (%s) loading error.", name.c_str());
    const HEFFECT handle =
        file->GetSize() > 0 ? hge->Effect_Load(file->GetData(), static_cast<DWORD>(file->GetSize())) : 0;
    if (!handle)
        EngineCore::ThrowEngineErrorF(kSource, 70, "Resource (%s) initialize error.", name.c_str());
    _record.handle = handle;
    hge->System_Log("Effect_Load (%s)...ok", name.c_str());
}

void HGESound::Release()
{
    _record.DropChannel();
    if (!_record.handle)
        return;
    HGE* hge = HGEChannelRecord::Hge();
    if (hge) {
        hge->Effect_Free(_record.handle);
        hge->System_Log("Effect_Free (%s)...ok", GetName());
    }
    _record.handle = 0;
}

void HGESound::Play(bool loop)
{
    if (!_record.handle)
        return;
    _record.channel = HGEChannelRecord::Hge()->Effect_PlayEx(_record.handle, HgeVolume(_record.volume), 0,
                                                             1.0f, loop);
}

}  // namespace MobrixCore
