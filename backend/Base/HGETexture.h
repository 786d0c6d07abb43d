#pragma once
// An image of the virtual file system loaded into an HGE texture.

#include <cstdint>
#include <memory>

#include "engine/Renderer/Texture.h"
#include "platform/hge/hge.h"

namespace MobrixCore {

class HGEResourceFactory;

class HGETexture : public EngineCore::Texture {
public:
    HGETexture();
    ~HGETexture() override;

    bool IsValid() const override { return _handle != 0; }
    HTEXTURE GetHandle() const { return _handle; }

    // Adopts a texture HGE already made (a render target's picture): no log line, and an
    // earlier handle is not released. The size is the texture's image size.
    void Init(HTEXTURE handle);

    bool Lock(unsigned x, unsigned y, unsigned width, unsigned height, bool readOnly,
              uint32_t*& pixels) override;
    void Unlock() override;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    // Loads the image file named by the resource's name; a second call reloads.
    void Init() override;
    void Release() override;

private:
    // From the destructor a missing name is logged, not raised: nothing may throw there.
    void FreeHandle(bool inDestructor);

    HTEXTURE _handle;
};

}  // namespace MobrixCore
