#pragma once
// The back-end's GUI layer as the engine sees it: made by the first cursor Show or
// Hide, it installs the layer's update and draw in the engine's GUI system.

namespace MobrixCore {

class hgeGUI;

class HGEGUISystem {
public:
    static HGEGUISystem& Instance();

    hgeGUI* operator->() const { return GetObjectW(); }
    hgeGUI* GetObjectW() const;

    ~HGEGUISystem();
    HGEGUISystem(const HGEGUISystem&) = delete;
    HGEGUISystem& operator=(const HGEGUISystem&) = delete;

private:
    HGEGUISystem();

    class Impl;
    Impl* _impl;
};

}  // namespace MobrixCore
