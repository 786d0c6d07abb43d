#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "engine/Renderer/ParticleSystem.h"
#include "engine/Renderer/Sprite.h"
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using EngineCore::ParticleSystem;
using EngineCore::Resource;
using EngineCore::ResourceManager;
using EngineCore::Sprite;

namespace {

// Particles that stand still and keep one colour (r, g, b, a) for ten seconds.
std::vector<char> StillDescription(float red, float green, float blue)
{
    std::vector<char> bytes(128, 0);
    auto put = [&](size_t offset, float value) { std::memcpy(&bytes[offset], &value, 4); };
    const int32_t emission = 20;
    std::memcpy(&bytes[4], &emission, 4);
    put(8, -1.0f);
    put(12, 10.0f);
    put(16, 10.0f);
    put(64, 1.0f);
    put(68, 1.0f);
    for (size_t at : {size_t(88), size_t(104)}) {
        put(at, red);
        put(at + 4, green);
        put(at + 8, blue);
        put(at + 12, 1.0f);
    }
    return bytes;
}

}  // namespace

// Each particle is the particle sprite drawn at its place (within 2 pixels of the emitter,
// so an 8 x 8 picture always covers the emitter's pixel) in the particle's colour, or in
// the sprite's own colour when the birth red is below 0.
TEST(ParticleDrawing, ParticlesAreDrawnInTheirColourAroundTheEmitter)
{
    BackendWindow window;
    window.AddPng("dot.png", 8, 8, std::vector<uint32_t>(64, kWhite));
    for (const auto& file : {std::make_pair("red.psi", StillDescription(1, 0, 0)),
                             std::make_pair("own.psi", StillDescription(-1, 0, 0))}) {
        std::ofstream out(window.data + "/" + file.first, std::ios::binary);
        out.write(file.second.data(), static_cast<std::streamsize>(file.second.size()));
    }
    window.Index();
    window.Open();

    std::shared_ptr<Resource> texture, spriteResource, red, own;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("dot.png", Resource::RT_TEXTURE, texture));
    ASSERT_TRUE(ResourceManager::Instance().GetResource("dot", Resource::RT_SPRITE, spriteResource));
    auto sprite = std::dynamic_pointer_cast<Sprite>(spriteResource);
    ASSERT_TRUE(sprite->SetTexture(texture));
    sprite->SetTextureRect(0, 0, 8, 8);
    sprite->SetHotSpot(4, 4);
    sprite->SetColor(0xFF00FF00u);
    ASSERT_TRUE(ResourceManager::Instance().GetResource("red.psi", Resource::RT_PARTICLE_SYSTEM, red));
    ASSERT_TRUE(ResourceManager::Instance().GetResource("own.psi", Resource::RT_PARTICLE_SYSTEM, own));
    auto redSystem = std::dynamic_pointer_cast<ParticleSystem>(red);
    auto ownSystem = std::dynamic_pointer_cast<ParticleSystem>(own);
    for (const auto& [system, x] : {std::make_pair(redSystem, 16.0f), std::make_pair(ownSystem, 40.0f)}) {
        system->MoveTo(x, 20);
        system->SetSprite(spriteResource);
        system->Show();
    }
    // Hidden systems draw nothing.
    auto hidden = std::dynamic_pointer_cast<ParticleSystem>(redSystem->Clone());
    hidden->SetSprite(spriteResource);
    hidden->MoveTo(28, 38);

    window.onUpdate = [&](int frame) {
        for (const auto& system : {redSystem, ownSystem, hidden})
            system->Update(1.0f / 10);
        if (frame == 3) {
            const std::vector<uint32_t> screen = window.ReadScreen();
            auto at = [&](int x, int y) { return Rgb(screen[static_cast<size_t>(y * BackendWindow::kWidth + x)]); };
            EXPECT_EQ(Rgb(kRed), at(16, 20));
            EXPECT_EQ(Rgb(kGreen), at(40, 20));
            EXPECT_EQ(0u, at(28, 38));
            EXPECT_EQ(0u, at(28, 20));
            EXPECT_EQ(0u, at(16, 30));
        }
    };
    window.onRender = [&]() {
        for (const auto& system : {redSystem, ownSystem, hidden})
            system->Render();
    };
    window.RunFrames(3);
    // Drawing left the sprite's own colour as it was.
    EXPECT_EQ(0xFF00FF00u, sprite->GetColor());
}
