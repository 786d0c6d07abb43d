// The alpha images of character-animation frames, in the record the Sprite class
// writes its alpha images through: the many frames cut from one texture write its
// image once.
#include "engine/Renderer/Texture.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/CharacterAnimationWrapper.h"
#include "game/Wrappers/TextureAlphaRecord.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\CharacterAnimationWrapper.cpp";
}  // namespace

void CharacterAnimationWrapper::ApplyAlpha(const std::shared_ptr<EngineCore::Resource>& texture,
                                           const std::string& alphaFileName)
{
    // A name that holds some other kind of resource cannot take an alpha channel.
    auto* target = dynamic_cast<EngineCore::Texture*>(texture.get());
    if (!target)
        EngineCore::ThrowEngineError(kSource, 452, "Internal error.");
    TakeTextureAlpha(*target, texture, alphaFileName, kSource);
}

}  // namespace GameCore
