#include "backend/Base/HGEParticleSystem.h"

#include <string>

#include "backend/Base/HGESprite.h"
#include "backend/Base/HGESystemObject.h"
#include "backend/Base/ResourceLog.h"
#include "backend/Helpers/hgeParticleSystem.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGEParticleSystem.cpp";

}  // namespace

HGEParticleSystem::HGEParticleSystem() = default;

HGEParticleSystem::~HGEParticleSystem()
{
    delete _helper;
    _helper = nullptr;
}

std::shared_ptr<EngineCore::Resource> HGEParticleSystem::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGEParticleSystem);
}

void HGEParticleSystem::Init() {}

void HGEParticleSystem::Release()
{
    delete _helper;
    _helper = nullptr;
}

void HGEParticleSystem::Show()
{
    EngineCore::ParticleSystem::Show();
    if (_helper)
        _helper->FireAt(GetPositionX(), GetPositionY());
}

void HGEParticleSystem::Hide()
{
    EngineCore::ParticleSystem::Hide();
    if (_helper)
        _helper->Stop(true);
}

void HGEParticleSystem::MoveTo(float x, float y)
{
    if (x == GetPositionX() && y == GetPositionY())
        return;
    EngineCore::ParticleSystem::MoveTo(x, y);
    if (_helper)
        _helper->MoveTo(x, y, false);
}

void HGEParticleSystem::SetEmission(int emission)
{
    if (_helper) {
        _helper->info.emission = emission;
        _pendingEmission = false;
    } else {
        _emission = emission;
        _pendingEmission = true;
    }
}

void HGEParticleSystem::Update(float dt)
{
    if (!IsVisible())
        return;
    EngineCore::ParticleSystem::Update(dt);
    if (_helper)
        _helper->Update(dt);
}

void HGEParticleSystem::Render()
{
    if (!IsVisible() || !_helper)
        return;
    auto* sprite = dynamic_cast<HGESprite*>(GetSprite().get());
    if (hgeSprite* quad = sprite ? sprite->GetData() : nullptr)
        _helper->Render(*quad);
}

void HGEParticleSystem::SetSprite(const std::shared_ptr<EngineCore::Resource>& sprite)
{
    EngineCore::ParticleSystem::SetSprite(sprite);
    if (!sprite)
        return;

    const std::string name = GetName();
    if (name.empty())
        EngineCore::ThrowEngineError(kSource, 106, "Resource must have name.");
    LogResource("ParticleSystemInfo_Load (%s)...", name.c_str());

    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(name, file) || !file)
        EngineCore::ThrowEngineErrorF(kSource, 111, "File (%s) loading error.", name.c_str());
    hgeParticleSystemInfo info;
    const int size = file->GetSize();
    if (size < 0 || !ReadParticleSystemInfo(file->GetData(), static_cast<size_t>(size), info))
        EngineCore::ThrowEngineErrorF(kSource, 115, "Incorrect file (%s) size.", name.c_str());
    file.reset();

    hgeParticleSystem* helper = new hgeParticleSystem(info);
    delete _helper;
    _helper = helper;
    if (_pendingEmission) {
        _helper->info.emission = _emission;
        _pendingEmission = false;
    }
    LogResource("ParticleSystemInfo_Load (%s)...ok", name.c_str());
    // Emits from the position already given, not from the origin.
    _helper->FireAt(GetPositionX(), GetPositionY());
}

std::shared_ptr<EngineCore::Resource> HGEParticleSystem::Clone() const
{
    std::shared_ptr<HGEParticleSystem> clone(new HGEParticleSystem);
    clone->SetName(GetName());
    clone->SetType(GetType());
    clone->SetSprite(GetSprite());
    return clone;
}

}  // namespace MobrixCore
