// The class-wide records of the "Sprite" script class (alpha images per texture, shared
// masks) are used by scripts of two threads at once: the loader thread's and the main
// thread's. Each thread here makes and drops wrappers over the same images in a loop.
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/GameStateScope.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Texture.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "game/ScriptEngine/LuaScriptEngine/GameStateScriptClasses.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempFolder.h"

using EngineCore::Resource;

namespace {

const char kState[] = "sprite alpha threads";

// 8 x 8 texels in memory, opaque white.
class SmallTexture : public EngineCore::Texture {
public:
    bool Lock(unsigned x, unsigned y, unsigned, unsigned, bool readOnly, uint32_t*& pixels) override
    {
        pixels = texels.data() + y * 8 + x;
        return Texture::Lock(x, y, 1, 1, readOnly, pixels);
    }

protected:
    void Init() override
    {
        SetSize(8, 8);
        texels.assign(64, 0xFFFFFFFFu);
    }

private:
    std::vector<uint32_t> texels;
};

TEST(SpriteAlphaThreadsTest, WrappersOnTwoThreadsShareTheAlphaRecords)
{
    EngineCore::RenderSystem::Instance().SetCurrentGameState(kState);
    EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::Instance();
    ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_SPRITE, [] {
        return std::make_shared<TestSupport::FakeAnimatedSprite>();
    }));
    ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_TEXTURE, [] { return std::make_shared<SmallTexture>(); }));
    TestSupport::TempFolder data;
    const auto palette = TestSupport::SkewedPalette(256);
    data.WriteFile("threads/alpha.png", TestSupport::Encode(TestSupport::MakePalettised(8, 8, 8, palette,
                                                                                         [](int x, int y) {
                                                                                             return unsigned(x * y);
                                                                                         }),
                                                            FIF_PNG));
    data.WriteFile("threads/mask.png", TestSupport::Encode(TestSupport::MakePalettised(8, 8, 8, palette,
                                                                                        [](int x, int) {
                                                                                            return unsigned(x);
                                                                                        }),
                                                           FIF_PNG));
    EngineCore::FileSystem::Instance().AddDirectory(data.Path());

    auto work = [](int thread, std::string* failure) {
        EngineCore::GameStateScope scope(kState);
        GameLuaScriptImpl::LuaScriptEngine engine;
        if (!engine.Open()) {
            *failure = "no interpreter";
            return;
        }
        GameLuaScriptImpl::RegisterGameStateScriptClasses(engine.GetState());
        const std::string own = std::to_string(thread);
        try {
            for (int i = 0; i < 100; ++i) {
                // Its own texture per round, shared image names; every run ends with a
                // full collection, which drops the wrappers of the run before.
                const std::string texture = "threads/t" + own + "_" + std::to_string(i % 4) + ".jpg";
                engine.RunString(("a = Sprite() a:SetName('s" + own + "') a:SetTexture('" + texture +
                                  "') a:SetFullTextureRect() a:SetTextureAlpha('threads/alpha.png') "
                                  "a:ApplyAlphaMask('threads/mask.png') b = Sprite() b:SetName('s" + own +
                                  "') b:SetTextureAlpha('threads/alpha.png') b:ApplyAlphaMask('threads/mask.png') "
                                  "a:RestoreAlpha() b:DecrementAlphaCounter() a = nil b = nil")
                                     .c_str(),
                                 0);
            }
        } catch (const std::exception& e) {
            *failure = e.what();
        }
        engine.Close();
    };
    std::string failures[2];
    std::thread first(work, 0, &failures[0]);
    std::thread second(work, 1, &failures[1]);
    first.join();
    second.join();
    EXPECT_EQ("", failures[0]);
    EXPECT_EQ("", failures[1]);

    EngineCore::ResourceManager::Instance().Clear();
    factory.UnregisterResourceCreator(Resource::RT_SPRITE);
    factory.UnregisterResourceCreator(Resource::RT_TEXTURE);
    EngineCore::RenderSystem::Instance().RemoveGameState(kState);
}

}  // namespace
