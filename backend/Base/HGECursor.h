#pragma once
// The custom mouse pointer over HGE: a shown cursor hands its sprite to the back-end's
// GUI layer, which draws it at the pointer every frame.

#include <memory>

#include "engine/GUI/Cursor.h"

namespace MobrixCore {

class HGEResourceFactory;

class HGECursor : public EngineCore::Cursor {
public:
    HGECursor();
    ~HGECursor() override;

    // An empty pointer also hides the cursor. A new sprite shows from the next Show.
    void SetSprite(const std::shared_ptr<EngineCore::Resource>& sprite) override;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    // Throws "Cursor is not initialized." without a back-end sprite.
    void Show() override;
    void Hide() override;
};

}  // namespace MobrixCore
