// The "ParticleSystem" and "DistortionMesh" script classes through the real interpreter,
// over the back-end's own particle systems, meshes, sprites and textures.
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include "backend/Base/HGEDistortionMesh.h"
#include "backend/Base/HGEParticleSystem.h"
#include "backend/Base/HGESprite.h"
#include "backend/Base/HGESystemObject.h"
#include "backend/Base/HGETexture.h"
#include "backend/Helpers/hgeDistortionMesh.h"
#include "backend/Helpers/hgeParticleSystem.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/ScriptClassFixture.h"
#include "tests/support/TempFolder.h"

using EngineCore::Resource;
using EngineCore::ResourceManager;
using testing::ElementsAre;
using testing::EndsWith;

namespace {

const char kState[] = "effect script tests";

std::vector<unsigned char> DescriptionFile(int32_t emission, size_t size = 128)
{
    std::vector<unsigned char> bytes(128, 0);
    auto put = [&](size_t offset, uint32_t bits) {
        for (int i = 0; i < 4; ++i)
            bytes[offset + static_cast<size_t>(i)] = static_cast<unsigned char>(bits >> (8 * i));
    };
    auto putFloat = [&](size_t offset, float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        put(offset, bits);
    };
    put(4, static_cast<uint32_t>(emission));
    putFloat(8, -1.0f);
    putFloat(12, 1.0f);
    putFloat(16, 1.0f);
    bytes.resize(size, 0);
    return bytes;
}

template <typename T>
std::shared_ptr<Resource> Make()
{
    return std::make_shared<T>();
}

const int kTypes[] = {Resource::RT_SPRITE, Resource::RT_TEXTURE, Resource::RT_DISTORTION_MESH,
                      Resource::RT_PARTICLE_SYSTEM};

class EffectScriptClasses : public TestSupport::ScriptClassFixture<> {
protected:
    static void SetUpTestSuite()
    {
        folder = new TestSupport::TempFolder;
        folder->WriteFile("fx/sparks.psi", DescriptionFile(64));
        folder->WriteFile("fx/smoke.psi", DescriptionFile(10));
        folder->WriteFile("fx/short.psi", DescriptionFile(64, 127));
        folder->WriteFile("fx/long.psi", DescriptionFile(64, 129));
        EngineCore::FileSystem::Instance().AddDirectory(folder->Path());
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }

    void SetUp() override
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState(kState);
        // The back-end's own kinds, as its factory registers them while the window is open.
        EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::Instance();
        factory.RegisterResourceCreator(Resource::RT_SPRITE, Make<MobrixCore::HGESprite>);
        factory.RegisterResourceCreator(Resource::RT_TEXTURE, Make<MobrixCore::HGETexture>);
        factory.RegisterResourceCreator(Resource::RT_DISTORTION_MESH, Make<MobrixCore::HGEDistortionMesh>);
        factory.RegisterResourceCreator(Resource::RT_PARTICLE_SYSTEM, Make<MobrixCore::HGEParticleSystem>);
        ASSERT_NO_FATAL_FAILURE(OpenScripts());
    }
    void TearDown() override
    {
        engine.Close();
        ResourceManager::Instance().Clear();
        for (int type : kTypes)
            EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(type);
        EngineCore::RenderSystem::Instance().RemoveGameState(kState);
    }

    template <typename T>
    T* Stored(const std::string& name, int type)
    {
        std::shared_ptr<Resource> resource;
        if (!ResourceManager::Instance().IsExist(name) || !ResourceManager::Instance().GetResource(name, type, resource))
            return nullptr;
        return dynamic_cast<T*>(resource.get());
    }

    // A texture of the size, stored under the name without a file.
    std::shared_ptr<MobrixCore::HGETexture> StoreTexture(const std::string& name, int width, int height)
    {
        HGE* hge = MobrixCore::HGESystemObject::Instance().GetObjectW();
        auto texture = std::make_shared<MobrixCore::HGETexture>();
        texture->Init(hge->Texture_Create(width, height));
        EXPECT_TRUE(ResourceManager::Instance().AddResource(name, texture));
        return texture;
    }

    static TestSupport::TempFolder* folder;
};

TestSupport::TempFolder* EffectScriptClasses::folder = nullptr;

// ---- ParticleSystem

const char kNotLoaded[] = "Error: Particle system is not loaded. First call - Load().";

TEST_F(EffectScriptClasses, ParticleSystemMethodsNeedALoadFirst)
{
    const std::vector<std::string> methods = {"Show",        "Hide",      "MoveTo",      "SetSprite",
                                              "SetEmission", "BreakLink", "LinkToSprite"};
    std::set<std::string> expected(methods.begin(), methods.end());
    expected.insert({"Load", "new"});
    EXPECT_EQ(expected, Methods("ParticleSystem"));
    for (const std::string& method : methods) {
        SCOPED_TRACE(method);
        EXPECT_THAT(FailureOf("p = ParticleSystem() p:" + method + "()"), EndsWith(kNotLoaded));
    }
}

TEST_F(EffectScriptClasses, TheFirstLoadTakesTheStoredSystemLaterOnesClones)
{
    Run("s = Sprite() s:SetName('spark') "
        "a = ParticleSystem() a:Load('fx/sparks.psi') b = ParticleSystem() b:Load('fx/sparks.psi') "
        "a:SetSprite('spark') b:SetSprite('spark') a:MoveTo(10, 20) a:Show()");
    auto* stored = Stored<MobrixCore::HGEParticleSystem>("fx/sparks.psi", Resource::RT_PARTICLE_SYSTEM);
    ASSERT_NE(nullptr, stored);
    EXPECT_TRUE(stored->IsVisible());
    EXPECT_EQ(10.0f, stored->GetPositionX());

    // Driving the clone leaves the stored system alone.
    Run("b:Show() b:MoveTo(50, 60) b:SetEmission(1) b:Hide()");
    EXPECT_TRUE(stored->IsVisible());
    EXPECT_EQ(10.0f, stored->GetPositionX());
    EXPECT_EQ(20.0f, stored->GetPositionY());
    EXPECT_EQ(64, stored->GetData()->info.emission);
    Run("a:Hide()");
    EXPECT_FALSE(stored->IsVisible());

    // A clone taken before the stored system had a sprite has no particles of its own.
    Run("c = ParticleSystem() c:Load('fx/smoke.psi') d = ParticleSystem() d:Load('fx/smoke.psi') "
        "d:Show() d:MoveTo(1, 1) d:SetEmission(5) d:Hide()");
}

TEST_F(EffectScriptClasses, ParticleSpritesMustExistAndBeSprites)
{
    StoreTexture("wall", 4, 4);
    Run("s = Sprite() s:SetName('spark') p = ParticleSystem() p:Load('fx/sparks.psi')");
    struct Case {
        const char* call;
        const char* message;
    } cases[] = {
        {"p:SetSprite('ghost')", "Error using exist resource name (ghost)."},
        {"p:LinkToSprite('ghost')", "Error using exist resource name (ghost)."},
        {"p:SetSprite('wall')", "Resource (wall) not found."},
        {"p:LinkToSprite('wall')", "Resource (wall) not found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_THAT(FailureOf(c.call), EndsWith(c.message));
    }
    // A name stored as something else is no particle system to load or clone.
    EXPECT_THAT(FailureOf("q = ParticleSystem() q:Load('spark')"), EndsWith("Resource (spark) creating error."));
    EXPECT_THAT(FailureOf("q = ParticleSystem() q:Load('wall')"), EndsWith("Resource (wall) creating error."));
    EXPECT_FALSE(ResourceManager::Instance().IsExist("ghost"));
}

TEST_F(EffectScriptClasses, DescriptionFilesOfTheWrongSizeAreRefused)
{
    Run("s = Sprite() s:SetName('spark')");
    struct Case {
        const char* name;
        const char* message;
    } cases[] = {
        {"fx/short.psi", "Incorrect file (fx/short.psi) size."},
        {"fx/long.psi", "Incorrect file (fx/long.psi) size."},
        {"fx/none.psi", "File (fx/none.psi) loading error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THAT(FailureOf(std::string("p = ParticleSystem() p:Load('") + c.name + "') p:SetSprite('spark')"),
                    EndsWith(c.message));
        // The system is loaded all the same, and still drivable.
        Run("p:MoveTo(3, 3) p:Show() p:Hide()");
    }
}

TEST_F(EffectScriptClasses, SettingsBeforeTheSpriteReachTheParticles)
{
    Run("s = Sprite() s:SetName('hero') s:SetPosition(100, 50) "
        "p = ParticleSystem() p:Load('fx/sparks.psi') p:MoveTo(30, 40) p:SetEmission(7.9) p:LinkToSprite('hero') "
        "p:BreakLink() p:SetSprite('hero')");
    auto* stored = Stored<MobrixCore::HGEParticleSystem>("fx/sparks.psi", Resource::RT_PARTICLE_SYSTEM);
    ASSERT_NE(nullptr, stored);
    ASSERT_NE(nullptr, stored->GetData());
    EXPECT_EQ(7, stored->GetData()->info.emission);
    float x, y;
    stored->GetData()->GetPosition(x, y);
    EXPECT_EQ(100.0f, x);  // the link moved the emitter at once
    EXPECT_EQ(50.0f, y);

    // Emission is truncated toward zero, and lasts until the next sprite.
    Run("p:SetEmission(-2.5)");
    EXPECT_EQ(-2, stored->GetData()->info.emission);
    Run("p:SetSprite('hero')");
    EXPECT_EQ(64, stored->GetData()->info.emission);

    // A linked, visible system follows its sprite each frame; after BreakLink it stays.
    Run("p:LinkToSprite('hero') p:Show() s:SetPosition(120, 70)");
    stored->Update(0.01f);
    EXPECT_EQ(120.0f, stored->GetPositionX());
    Run("p:BreakLink() s:SetPosition(0, 0)");
    stored->Update(0.01f);
    EXPECT_EQ(120.0f, stored->GetPositionX());
    EXPECT_EQ(70.0f, stored->GetPositionY());
}

// ---- DistortionMesh

const char kMeshNotInitialised[] = "Error: DistortionMesh not initialized. First call - SetName().";

TEST_F(EffectScriptClasses, MeshMethodsNeedANameFirst)
{
    const std::vector<std::string> methods = {
        "GetName",   "SetName",     "Show",        "Hide",        "SetColor",       "SetPosition",
        "SetBlendMode", "SetTextureRect", "IsVisible", "SetTexture", "SetPriority", "GetTexture",
        "GetPriority", "GetPosition", "GetTextureRect", "SetupMesh", "SetDisplacement", "SetTextureAspects"};
    std::set<std::string> expected(methods.begin(), methods.end());
    expected.insert("new");
    EXPECT_EQ(expected, Methods("DistortionMesh"));
    const std::set<std::string> exempt = {"SetName", "GetTexture", "GetTextureRect"};
    for (const std::string& method : methods) {
        if (exempt.count(method))
            continue;
        SCOPED_TRACE(method);
        EXPECT_THAT(FailureOf("m = DistortionMesh() m:" + method + "()"), EndsWith(kMeshNotInitialised));
    }
    Run("m = DistortionMesh() t = m:GetTexture() x, y, w, h = m:GetTextureRect()");
    EXPECT_EQ("", String("t"));
    EXPECT_THAT(Numbers({"x", "y", "w", "h"}), ElementsAre(0, 0, 0, 0));
}

TEST_F(EffectScriptClasses, MeshesAreSharedByNameAndHiddenWhenNamed)
{
    Run("a = DistortionMesh() a:SetName('water') v = a:IsVisible() n = a:GetName()");
    auto* mesh = Stored<MobrixCore::HGEDistortionMesh>("water", Resource::RT_DISTORTION_MESH);
    ASSERT_NE(nullptr, mesh);
    EXPECT_EQ(0, Number("v"));
    EXPECT_EQ("water", String("n"));
    EXPECT_EQ(2, mesh->GetNumColumns());
    EXPECT_EQ(2, mesh->GetNumRows());

    Run("a:Show() a:SetTextureRect(10.7, 20.2, 64.9, 32.5) b = DistortionMesh() b:SetName('water') "
        "v = a:IsVisible() x, y, w, h = a:GetTextureRect() bx, by, bw, bh = b:GetTextureRect()");
    EXPECT_EQ(0, Number("v"));  // the second SetName hid it again
    EXPECT_THAT(Numbers({"x", "y", "w", "h"}), ElementsAre(10, 20, 64, 32));
    EXPECT_THAT(Numbers({"bx", "by", "bw", "bh"}), ElementsAre(0, 0, 0, 0));
    float x, y, w, h;
    mesh->GetTextureRect(x, y, w, h);
    EXPECT_FLOAT_EQ(10.7f, x);
    EXPECT_FLOAT_EQ(32.5f, h);

    Run("b:SetPosition(5, 6) b:SetPriority(3) px, py = a:GetPosition() p = a:GetPriority()");
    EXPECT_THAT(Numbers({"px", "py", "p"}), ElementsAre(5, 6, 3));

    Run("a:Show() a:Show() v1 = b:IsVisible() b:Hide() b:Hide() v2 = a:IsVisible() a:SetBlendMode(3.7)");
    EXPECT_THAT(Numbers({"v1", "v2"}), ElementsAre(1, 0));
    EXPECT_EQ(3, mesh->GetBlendMode());
    EXPECT_EQ(3, mesh->GetData()->GetBlendMode());
}

TEST_F(EffectScriptClasses, MeshColoursKeepTheLowByteOfEachChannel)
{
    struct Case {
        const char* arguments;
        uint32_t argb;
    } cases[] = {
        {"255, 128, 0, 300", 0x2CFF8000u},
        {"-1, 0, 0, 255", 0xFFFF0000u},
        {"1.9, 2.9, 3.9, 4.9", 0x04010203u},
    };
    Run("m = DistortionMesh() m:SetName('water')");
    auto* mesh = Stored<MobrixCore::HGEDistortionMesh>("water", Resource::RT_DISTORTION_MESH);
    ASSERT_NE(nullptr, mesh);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Run(std::string("m:SetColor(") + c.arguments + ")");
        EXPECT_EQ(c.argb, mesh->GetColor());
    }
}

TEST_F(EffectScriptClasses, MeshGridAndDisplacements)
{
    StoreTexture("water.png", 100, 50);
    Run("m = DistortionMesh() m:SetName('water') m:SetupMesh(3, 3) m:SetTexture('water.png') "
        "m:SetTextureRect(0, 0, 100, 50) m:SetDisplacement(1.9, 0.5, 3, 4, 2.2)");
    auto* mesh = Stored<MobrixCore::HGEDistortionMesh>("water", Resource::RT_DISTORTION_MESH);
    ASSERT_NE(nullptr, mesh);
    // Node (1, 0), from the centre (50, 25).
    EXPECT_FLOAT_EQ(53.0f, mesh->GetData()->GetNode(1, 0).x);
    EXPECT_FLOAT_EQ(29.0f, mesh->GetData()->GetNode(1, 0).y);

    struct Case {
        const char* call;
        const char* message;
    } cases[] = {
        {"m:SetDisplacement(3, 0, 1, 1, 0)", "HGEDistortionMesh cell index is not valid."},
        {"m:SetDisplacement(0, -1, 1, 1, 0)", "HGEDistortionMesh cell index is not valid."},
        {"m:SetupMesh(1, 5)", "Distortion mesh: minimum 2 rows and 2 columns."},
        {"m:SetupMesh(5, 1.9)", "Distortion mesh: minimum 2 rows and 2 columns."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_THAT(FailureOf(c.call), EndsWith(c.message));
        EXPECT_EQ(3, mesh->GetNumColumns());
        EXPECT_FLOAT_EQ(53.0f, mesh->GetData()->GetNode(1, 0).x);
    }

    // A new grid puts every node at rest and keeps texture and rectangle; aspects start at 1.
    Run("m:SetTextureAspects(2, 2) m:SetTextureRect(0, 0, 100, 50) m:SetupMesh(3, 3)");
    EXPECT_FLOAT_EQ(50.0f, mesh->GetData()->GetNode(1, 0).x);
    EXPECT_FLOAT_EQ(0.0f, mesh->GetData()->GetNode(1, 0).y);
    EXPECT_FLOAT_EQ(1.0f, mesh->GetData()->GetNode(2, 2).tx);
    EXPECT_NE(0u, mesh->GetData()->GetTexture());
}

TEST_F(EffectScriptClasses, MeshTexturesByName)
{
    auto first = StoreTexture("first.png", 8, 8);
    Run("m = DistortionMesh() m:SetName('water') m:SetTexture('first.png')");
    auto* mesh = Stored<MobrixCore::HGEDistortionMesh>("water", Resource::RT_DISTORTION_MESH);
    ASSERT_NE(nullptr, mesh);
    EXPECT_EQ(first->GetHandle(), mesh->GetData()->GetTexture());

    // A file that is not there: the loader's error, and the name stays.
    EXPECT_THAT(FailureOf("m:SetTexture('nofile.png')"), EndsWith("Resource (nofile.png) loading error."));
    Run("t = m:GetTexture()");
    EXPECT_EQ("first.png", String("t"));

    // A stored resource that is not a texture: refused by the mesh, yet reported.
    Run("s = Sprite() s:SetName('hero') m:SetTexture('hero') t = m:GetTexture()");
    EXPECT_EQ("hero", String("t"));
    EXPECT_EQ(first->GetHandle(), mesh->GetData()->GetTexture());
    EXPECT_EQ(first, mesh->GetTexture());
}

TEST_F(EffectScriptClasses, AFailedSetNameLeavesTheObjectUninitialised)
{
    Run("s = Sprite() s:SetName('hero') m = DistortionMesh() m:SetName('water')");
    struct Case {
        const char* name;
        const char* message;
    } cases[] = {
        {"'hero'", "Resource (hero) creating error."},  // stored, but not a mesh
        {"''", "Resource must have name."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Run("m:SetName('water')");
        EXPECT_THAT(FailureOf(std::string("m:SetName(") + c.name + ")"), EndsWith(c.message));
        EXPECT_THAT(FailureOf("m:GetName()"), EndsWith(kMeshNotInitialised));
    }
    // The mesh let go of lives on under its name.
    EXPECT_NE(nullptr, Stored<MobrixCore::HGEDistortionMesh>("water", Resource::RT_DISTORTION_MESH));
}

}  // namespace
