#pragma once
// An animation loaded from a "kT.animation.bin" file of the virtual file system whose
// name is the resource's name.

#include <memory>

#include "engine/Animation/Animation.h"

namespace MobrixCore {

class HGEResourceFactory;

class HGEAnimation : public EngineCore::Animation {
public:
    HGEAnimation();
    ~HGEAnimation() override;

    bool IsValid() const override;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    // Loads the file; a second call reloads. A failure leaves the animation not valid.
    void Init() override;
    void Release() override;

private:
    void ReadFile(const unsigned char* data, int size);
    void Free(bool inDestructor);

    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace MobrixCore
