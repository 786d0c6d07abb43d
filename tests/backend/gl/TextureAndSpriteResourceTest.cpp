#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

#include "backend/Base/HGESprite.h"
#include "backend/Base/HGETexture.h"
#include "engine/Renderer/Texture.h"
#include "tests/backend/gl/BackendWindow.h"
#include "tests/support/FailureText.h"
#include "tests/support/HostileImages.h"

using namespace BackendTest;
using EngineCore::Resource;
using EngineCore::ResourceManager;
using EngineCore::Sprite;
using EngineCore::Texture;

namespace {

const Resource::ResourceType kSpriteType = Resource::RT_SPRITE;
const Resource::ResourceType kTextureType = Resource::RT_TEXTURE;

using TestSupport::EndsWith;
using TestSupport::ErrorOf;

}  // namespace

TEST(TextureAndSprite, LoadAndFreeAreLoggedAndLogTextIsData)
{
    BackendWindow window;
    window.OpenWithQuarters("x.png");

    {
        std::shared_ptr<Resource> tex;
        std::shared_ptr<Resource> sprite;
        ASSERT_TRUE(ResourceManager::Instance().GetResource("x.png", kTextureType, tex));
        ASSERT_TRUE(ResourceManager::Instance().GetResource("s", kSpriteType, sprite));
        auto* texture = dynamic_cast<Texture*>(tex.get());
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->GetWidth(), 8u);
        EXPECT_EQ(texture->GetHeight(), 8u);

        // No name: refused before anything is logged. No file: logged, then refused.
        const std::string noName = ErrorOf([] {
            std::shared_ptr<Resource> r;
            ResourceManager::Instance().GetResource("", kTextureType, r);
        });
        EXPECT_TRUE(EndsWith(noName, "Error: Resource must have name.")) << noName;
        EXPECT_NE(noName.find("Base\\HGETexture.cpp"), std::string::npos) << noName;
        const std::string missing = ErrorOf([] {
            std::shared_ptr<Resource> r;
            ResourceManager::Instance().GetResource("missing.png", kTextureType, r);
        });
        EXPECT_TRUE(EndsWith(missing, "Error: Resource (missing.png) loading error.")) << missing;
        EXPECT_FALSE(ResourceManager::Instance().IsExist("missing.png"));

        // Bytes that are no picture.
        std::ofstream(window.data + "/broken.png") << "not a picture";
        window.Index();
        const std::string broken = ErrorOf([] {
            std::shared_ptr<Resource> r;
            ResourceManager::Instance().GetResource("broken.png", kTextureType, r);
        });
        EXPECT_TRUE(EndsWith(broken, "Error: Resource (broken.png) initialize error.")) << broken;

        // Damaged pictures and pictures too large for their bytes get the same answer.
        std::string whole;
        {
            std::ifstream in(window.data + "/x.png", std::ios::binary);
            whole.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        const std::string gif40000 = std::string("GIF89a\x40\x9c\x40\x9c\x80\0\0", 13) +
                                     std::string("\0\0\0\xff\xff\xff", 6) +
                                     std::string("\x2c\0\0\0\0\x40\x9c\x40\x9c\0", 10) +
                                     std::string("\x02\x02\x4c\x01\0\x3b", 6);
        std::vector<std::pair<std::string, std::string>> damaged = {
            {"cut.png", whole.substr(0, whole.size() / 2)},
            {"huge.gif", gif40000},
        };
        // Files of formats off the list that once crashed or hung a decoder, named as a
        // game would name its textures.
        for (const TestSupport::HostileImage& hostile : TestSupport::HostileImages())
            damaged.push_back({hostile.name + std::string(".png"), std::string(hostile.bytes.begin(), hostile.bytes.end())});
        for (const auto& file : damaged) {
            std::ofstream(window.data + "/" + file.first, std::ios::binary) << file.second;
            window.Index();
            const std::string error = ErrorOf([&file] {
                std::shared_ptr<Resource> r;
                ResourceManager::Instance().GetResource(file.first, kTextureType, r);
            });
            EXPECT_TRUE(EndsWith(error, std::string("Error: Resource (") + file.first + ") initialize error.")) << error;
        }

        window.app->PrintToLog("100% sure: %s %d %n %%");
        ResourceManager::Instance().Clear();
    }
    window.app->Close();

    const std::string log = window.ReadLog();
    const char* expected[] = {
        "Texture_Load (x.png)...\n",
        "Texture_Load (x.png)...ok\n",
        "Sprite_Create (s)...ok\n",
        "Texture_Load (missing.png)...\n",
        "100% sure: %s %d %n %%\n",
        "Sprite_Free (s)...ok\n",
        "Texture_Free (x.png)...ok\n",
    };
    size_t at = 0;
    for (const char* line : expected) {
        const size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\nlog:\n" << log;
        at = found + 1;
    }
    EXPECT_EQ(log.find("Texture_Load ()"), std::string::npos);
    EXPECT_EQ(log.find("Texture_Load (missing.png)...ok"), std::string::npos);
}

TEST(TextureAndSprite, LockHandsOutTheTexelsTopRowFirst)
{
    BackendWindow window;
    window.OpenWithQuarters("x.png");

    std::shared_ptr<Resource> res;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("x.png", kTextureType, res));
    auto texture = std::dynamic_pointer_cast<Texture>(res);
    uint32_t* px = nullptr;
    ASSERT_TRUE(texture->Lock(0, 0, 8, 8, true, px));
    ASSERT_NE(px, nullptr);
    EXPECT_TRUE(texture->IsLocked());
    EXPECT_EQ(px[0], kRed);
    EXPECT_EQ(px[7], kGreen);
    EXPECT_EQ(px[7 * 8], kBlue);
    EXPECT_EQ(px[7 * 8 + 7], kWhite);
    texture->Unlock();
    EXPECT_FALSE(texture->IsLocked());

    // Once released the texture is invalid: Lock refuses, Unlock leaves the flag alone.
    ASSERT_TRUE(texture->Lock(0, 0, 8, 8, false, px));
    ResourceManager::Instance().Clear();
    EXPECT_FALSE(texture->IsValid());
    uint32_t* untouched = reinterpret_cast<uint32_t*>(0x10);
    EXPECT_FALSE(texture->Lock(0, 0, 8, 8, true, untouched));
    EXPECT_EQ(untouched, reinterpret_cast<uint32_t*>(0x10));
    texture->Unlock();
    EXPECT_TRUE(texture->IsLocked());
}

TEST(TextureAndSprite, SpriteWithoutQuadAndWrongTextureType)
{
    BackendWindow window;
    window.OpenWithQuarters("x.png");

    std::shared_ptr<Resource> tex;
    std::shared_ptr<Resource> res;
    std::shared_ptr<Resource> other;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("x.png", kTextureType, tex));
    ASSERT_TRUE(ResourceManager::Instance().GetResource("s", kSpriteType, res));
    ASSERT_TRUE(ResourceManager::Instance().GetResource("other", kSpriteType, other));
    auto sprite = std::dynamic_pointer_cast<Sprite>(res);
    EXPECT_TRUE(sprite->IsValid());
    EXPECT_FALSE(sprite->SetTexture(other));  // a sprite is no texture
    EXPECT_FALSE(sprite->SetTexture(std::shared_ptr<Resource>()));
    EXPECT_TRUE(sprite->SetTexture(tex));

    ResourceManager::Instance().Clear();  // releases: the sprite loses its quad
    EXPECT_FALSE(sprite->IsValid());
    EXPECT_FALSE(sprite->SetTexture(tex));
    const std::function<void()> calls[] = {
        [&] { sprite->SetTextureRect(0, 0, 1, 1); },
        [&] { sprite->SetHotSpot(1, 1); },
        [&] { sprite->SetBlendMode(2); },
        [&] { sprite->SetFlipVertical(true); },
        [&] { sprite->SetFlipHorizontal(true); },
        [&] { sprite->SetColor(0xFF000000u); },
        [&] { sprite->Render(); },
    };
    for (const auto& call : calls) {
        const std::string error = ErrorOf(call);
        EXPECT_TRUE(EndsWith(error, "Error: Resource is not valid.")) << error;
        EXPECT_NE(error.find("Base\\HGESprite.cpp"), std::string::npos) << error;
    }
    // The base's own setters work on an invalid sprite.
    sprite->SetPosition(3, 4);
    EXPECT_EQ(sprite->GetPositionX(), 3.0f);
}
