#pragma once
// Registers the back-end's resource creators with the engine's factory while the window
// is open, so that the resource manager can make textures, sprites and the rest by type.

#include <memory>

namespace MobrixCore {

class HGEEngineWrapperApplication;

class HGEResourceFactory {
public:
    static HGEResourceFactory& Instance();

    ~HGEResourceFactory();
    HGEResourceFactory(const HGEResourceFactory&) = delete;
    HGEResourceFactory& operator=(const HGEResourceFactory&) = delete;

protected:
    friend class HGEEngineWrapperApplication;
    void RegisterResourceFactory();
    void UnregisterResourceFactory();

private:
    HGEResourceFactory();
    class Impl;
    Impl* _impl;
};

}  // namespace MobrixCore
