#pragma once
// A font whose glyph table is loaded from a "kT.charset.bin" file of the virtual file
// system named by the resource's name. Its texture and character string come later,
// from scripts, through the engine's font.

#include <memory>

#include "engine/Renderer/Font.h"

namespace MobrixCore {

class HGEResourceFactory;

class HGEFont : public EngineCore::Font {
public:
    HGEFont();
    ~HGEFont() override;

    bool IsValid() const override;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    // Loads the glyph table; a second call reloads. A failure leaves the font not valid.
    void Init() override;
    void Release() override;

private:
    void ReadFile(const unsigned char* data, int size);
    void Free(bool inDestructor);

    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace MobrixCore
