#include "backend/Base/HGECursor.h"

#include "backend/Base/HGEGUISystem.h"
#include "backend/Base/HGESprite.h"
#include "backend/Helpers/hgeGUI.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGECursor.cpp";

}  // namespace

HGECursor::HGECursor() = default;

HGECursor::~HGECursor() = default;

std::shared_ptr<EngineCore::Resource> HGECursor::Create()
{
    return std::make_shared<HGECursor>();
}

void HGECursor::SetSprite(const std::shared_ptr<EngineCore::Resource>& sprite)
{
    Cursor::SetSprite(sprite);
    if (!sprite)
        Hide();
}

// The GUI layer keeps only a weak link to the sprite and asks it for its helper at
// every draw: a sprite released or re-initialised since is never drawn from a freed
// helper, and a dropped sprite is not kept alive by the layer.
void HGECursor::Show()
{
    const std::shared_ptr<HGESprite> sprite = std::dynamic_pointer_cast<HGESprite>(GetSprite());
    if (!sprite)
        EngineCore::ThrowEngineError(kSource, 38, "Cursor is not initialized.");
    Cursor::Show();
    const std::weak_ptr<HGESprite> weak = sprite;
    HGEGUISystem::Instance()->SetCursor([weak]() -> hgeSprite* {
        const std::shared_ptr<HGESprite> held = weak.lock();
        return held ? held->GetData() : nullptr;
    });
}

void HGECursor::Hide()
{
    Cursor::Hide();
    HGEGUISystem::Instance()->SetCursor(nullptr);
}

}  // namespace MobrixCore
