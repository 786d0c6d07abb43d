#include <gtest/gtest.h>

#include <memory>

#include "backend/Base/HGESystemObject.h"
#include "backend/Base/HGETexture.h"

using MobrixCore::HGESystemObject;
using MobrixCore::HGETexture;

// A texture adopted from HGE has no name until the resource manager stores it; if it dies
// before that, its destructor frees the handle without raising the missing-name error.
TEST(TextureLifetime, AdoptedTextureWithoutNameDiesQuietly)
{
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    ASSERT_NE(hge, nullptr);
    const HTEXTURE handle = hge->Texture_Create(12, 5);
    ASSERT_NE(handle, 0u);
    {
        auto texture = std::make_shared<HGETexture>();
        texture->Init(handle);
        EXPECT_TRUE(texture->IsValid());
        EXPECT_EQ(texture->GetHandle(), handle);
        EXPECT_EQ(texture->GetWidth(), 12u);
        EXPECT_EQ(texture->GetHeight(), 5u);
    }
    EXPECT_EQ(hge->Texture_GetWidth(handle, true), 0);  // freed: the handle is stale
}

TEST(TextureLifetime, EmptyTextureLocksNothing)
{
    HGETexture texture;
    EXPECT_FALSE(texture.IsValid());
    uint32_t* pixels = nullptr;
    EXPECT_FALSE(texture.Lock(0, 0, 1, 1, true, pixels));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_FALSE(texture.IsLocked());
}
