#include "backend/Base/HGEGUISystem.h"

#include "backend/Helpers/hgeGUI.h"
#include "engine/GUI/GUISystem.h"

namespace MobrixCore {

class HGEGUISystem::Impl {
public:
    void Render() { gui.Render(); }
    void Update(float dt) { gui.Update(dt); }

    hgeGUI gui;
};

HGEGUISystem& HGEGUISystem::Instance()
{
    static HGEGUISystem instance;
    return instance;
}

// Made after the engine's GUI system (this asks for it), so gone before it at exit:
// the functions handed over are taken back here.
HGEGUISystem::HGEGUISystem() : _impl(new Impl)
{
    Impl* impl = _impl;
    EngineCore::GUISystem& gui = EngineCore::GUISystem::Instance();
    gui.SetRendererFunction([impl] { impl->Render(); });
    gui.SetUpdaterFunction([impl](float dt) { impl->Update(dt); });
}

HGEGUISystem::~HGEGUISystem()
{
    EngineCore::GUISystem& gui = EngineCore::GUISystem::Instance();
    gui.SetRendererFunction(nullptr);
    gui.SetUpdaterFunction(nullptr);
    delete _impl;
}

hgeGUI* HGEGUISystem::GetObjectW() const
{
    return &_impl->gui;
}

}  // namespace MobrixCore
