#include "game/Wrappers/DraggableImageWrapper.h"

#include <lua.hpp>

#include "engine/GUI/Button.h"
#include "engine/GUI/DraggableImage.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Resources/Resource.h"
#include "game/Base/LuaText.h"
#include "game/Wrappers/GuiActionText.h"
#include "game/Wrappers/GuiControlMethods.h"
#include "game/Wrappers/GuiSpriteLookup.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\DraggableImageWrapper.cpp";

}  // namespace

const char DraggableImageWrapper::className[] = "DraggableImage";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<DraggableImageWrapper>::RegType DraggableImageWrapper::methods[] = {
    {"Enable", &DraggableImageWrapper::Enable},
    {"Disable", &DraggableImageWrapper::Disable},
    {"SetSize", &DraggableImageWrapper::SetSize},
    {"SetVisible", &DraggableImageWrapper::SetVisible},
    {"SetPosition", &DraggableImageWrapper::SetPosition},
    {"IsVisible", &DraggableImageWrapper::IsVisible},
    {"SetItemName", &DraggableImageWrapper::SetItemName},
    {"SetPriority", &DraggableImageWrapper::SetPriority},
    {"RegisterAction", &DraggableImageWrapper::RegisterAction},
    {"RegisterAllActions", &DraggableImageWrapper::RegisterAllActions},
    {"UnregisterAction", &DraggableImageWrapper::UnregisterAction},
    {"UnregisterAllActions", &DraggableImageWrapper::UnregisterAllActions},
    {"SetDraggableSprite", &DraggableImageWrapper::SetDraggableSprite},
    {"SetCollisionSprite", &DraggableImageWrapper::SetCollisionSprite},
    {nullptr, nullptr},
};

DraggableImageWrapper::DraggableImageWrapper(lua_State*)
    : _actions({EngineCore::DraggableImage::kActionDragStart, EngineCore::DraggableImage::kActionDrop},
               [this](int action) {
                   if (action == EngineCore::DraggableImage::kActionDragStart)
                       OnDragStart();
                   else
                       OnDrop();
               }),
      _image(std::make_shared<EngineCore::DraggableImage>())
{
    EngineCore::GUISystem::Instance().RegisterControl(_image);
}

DraggableImageWrapper::~DraggableImageWrapper()
{
    _actions.UnbindAll(*_image);
    EngineCore::GUISystem::Instance().UnregisterControl(_image);
    _image->SetDraggableSprite(nullptr);
    _image->SetCollisionSprite(nullptr);
}

int DraggableImageWrapper::Enable(lua_State*)
{
    _image->SetState(EngineCore::DraggableImage::kNormal);
    return 0;
}

int DraggableImageWrapper::Disable(lua_State*)
{
    _image->SetState(EngineCore::DraggableImage::kDisabled);
    return 0;
}

int DraggableImageWrapper::SetSize(lua_State* L)
{
    return SetControlSize(L, *_image);
}

int DraggableImageWrapper::SetVisible(lua_State* L)
{
    return SetControlVisible(L, *_image);
}

int DraggableImageWrapper::SetPosition(lua_State* L)
{
    return SetControlPosition(L, *_image);
}

int DraggableImageWrapper::IsVisible(lua_State* L)
{
    return PushControlVisible(L, *_image);
}

int DraggableImageWrapper::SetItemName(lua_State* L)
{
    _image->SetQuestItemName(CheckString(L, 1).c_str());
    return 0;
}

int DraggableImageWrapper::SetPriority(lua_State* L)
{
    return SetControlPriority(L, *_image);
}

int DraggableImageWrapper::RegisterAction(lua_State* L)
{
    return _actions.Register(L, *_image);
}

// (drag start, drop)
int DraggableImageWrapper::RegisterAllActions(lua_State* L)
{
    return _actions.RegisterAll(
        L, *_image, {EngineCore::DraggableImage::kActionDragStart, EngineCore::DraggableImage::kActionDrop});
}

int DraggableImageWrapper::UnregisterAction(lua_State* L)
{
    return _actions.Unregister(L, *_image);
}

int DraggableImageWrapper::UnregisterAllActions(lua_State* L)
{
    return _actions.UnregisterAll(L, *_image);
}

// Silent: a name that cannot be had leaves the image with no draggable sprite.
int DraggableImageWrapper::SetDraggableSprite(lua_State* L)
{
    _image->SetDraggableSprite(FindGuiSprite(CheckString(L, 1)));
    return 0;
}

int DraggableImageWrapper::SetCollisionSprite(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    _image->SetCollisionSprite(RequireGuiSprite(name, kSource, 246));
    return 0;
}

void DraggableImageWrapper::OnDragStart()
{
    const std::string& function = _actions.Text(EngineCore::DraggableImage::kActionDragStart);
    if (function.empty())
        return;
    RunGuiAction(_owner, GuiCallText(function, QuoteLuaString(_image->GetQuestItemName())));
}

// Every text is built before the first one runs: running script code may free
// this object, so after that only local copies are used.
void DraggableImageWrapper::OnDrop()
{
    const std::string function = _actions.Text(EngineCore::DraggableImage::kActionDrop);
    if (function.empty())
        return;
    const std::shared_ptr<EngineCore::DraggableImage> image = _image;
    const StateCallback owner = _owner;
    const std::string item = image->GetQuestItemName();
    EngineCore::GUISystem& gui = EngineCore::GUISystem::Instance();

    std::shared_ptr<EngineCore::Control> quest;
    if (gui.GetQuestControlUnderCursor(quest)) {
        auto* button = dynamic_cast<EngineCore::Button*>(quest.get());
        if (button && button->OnQuestAction(item.c_str()))
            return;
    }

    std::string interaction;
    std::shared_ptr<EngineCore::Control> other;
    if (gui.GetDraggableImageControlUnderCursor(other, image)) {
        if (auto* otherImage = dynamic_cast<EngineCore::DraggableImage*>(other.get()))
            interaction = GuiCallText("GameLogic.OnQuestItemsInteract",
                                      QuoteLuaString(item) + ", " + QuoteLuaString(otherImage->GetQuestItemName()));
    }

    // Without a draggable sprite the report names none and starts at (0, 0).
    const std::shared_ptr<EngineCore::Resource> sprite = image->GetDraggableSprite();
    const std::string spriteName = sprite ? sprite->GetName() : "";
    const EngineCore::CPoint start = sprite ? image->GetStartObjectPosition() : EngineCore::CPoint{};
    const std::string drop = GuiCallText(function, QuoteLuaString(spriteName) + ", " +
                                                            std::to_string(start.x) + ", " +
                                                            std::to_string(start.y) + ", " + QuoteLuaString(item));
    if (!interaction.empty())
        RunGuiAction(owner, interaction);
    RunGuiAction(owner, drop);
}

}  // namespace GameCore
