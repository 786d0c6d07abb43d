#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/Texture.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "tests/support/ScriptClassFixture.h"

using EngineCore::Resource;
using EngineCore::ResourceFactory;
using EngineCore::ResourceManager;
using EngineCore::RenderSystem;
using testing::ElementsAre;
using testing::EndsWith;
using testing::HasSubstr;

namespace {

using Log = std::vector<std::string>;

std::string Format(const char* pattern, double a)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, a);
    return text;
}

// Writes every setter call it receives as "<call> <arguments>" and keeps the value.
class ProbeSprite : public EngineCore::Sprite {
public:
    explicit ProbeSprite(Log& log) : _log(&log) {}

    void Render() override {}
    void SetVisible(bool visible) override
    {
        Record("SetVisible", visible ? "1" : "0");
        Sprite::SetVisible(visible);
    }
    void SetColor(uint32_t argb) override
    {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", argb);
        Record("SetColor", text);
        Sprite::SetColor(argb);
    }
    bool SetTexture(const std::shared_ptr<Resource>& texture) override
    {
        Record("SetTexture", texture ? texture->GetName() : "(none)");
        Sprite::SetTexture(texture);
        // The answer must not matter to the script class.
        return false;
    }
    void SetPriority(float p) override
    {
        Record("SetPriority", Numbers({p}));
        Sprite::SetPriority(p);
    }
    void SetVerticalScale(float s) override
    {
        Record("SetVerticalScale", Numbers({s}));
        Sprite::SetVerticalScale(s);
    }
    void SetHorizontalScale(float s) override
    {
        Record("SetHorizontalScale", Numbers({s}));
        Sprite::SetHorizontalScale(s);
    }
    void SetRotation(float r) override
    {
        Record("SetRotation", Numbers({r}));
        Sprite::SetRotation(r);
    }
    void SetHotSpot(float x, float y) override
    {
        Record("SetHotSpot", Numbers({x, y}));
        Sprite::SetHotSpot(x, y);
    }
    void SetPosition(float x, float y) override
    {
        Record("SetPosition", Numbers({x, y}));
        Sprite::SetPosition(x, y);
    }
    void SetTextureRect(float x, float y, float w, float h) override
    {
        Record("SetTextureRect", Numbers({x, y, w, h}));
        Sprite::SetTextureRect(x, y, w, h);
    }
    void SetBlendMode(BlendMode mode) override
    {
        Record("SetBlendMode", std::to_string(mode));
        Sprite::SetBlendMode(mode);
    }
    void SetFlipVertical(bool f) override
    {
        Record("SetFlipVertical", f ? "1" : "0");
        Sprite::SetFlipVertical(f);
    }
    void SetFlipHorizontal(bool f) override
    {
        Record("SetFlipHorizontal", f ? "1" : "0");
        Sprite::SetFlipHorizontal(f);
    }

private:
    static std::string Numbers(std::initializer_list<float> values)
    {
        std::string text;
        for (float v : values)
            text += (text.empty() ? "" : " ") + Format("%.9g", v);
        return text;
    }
    void Record(const char* call, const std::string& arguments) { _log->push_back(std::string(call) + " " + arguments); }

    Log* _log;
};

// A texture whose size comes from its name ("wall" 64 x 64, "strip" 64 x 32); loading
// a name containing "broken" fails as a real loader would.
class ProbeTexture : public EngineCore::Texture {
protected:
    void Init() override
    {
        const std::string name = GetName();
        if (name.find("broken") != std::string::npos)
            EngineCore::ThrowEngineErrorF("Resources\\ProbeTexture.cpp", 1, "Texture (%s) loading error.",
                                          name.c_str());
        SetSize(64, name.find("strip") != std::string::npos ? 32 : 64);
    }
};

const char kNotInitialised[] = "Error: Sprite not initialized. First call - SetName().";
const char kNoBaseTexture[] = "Error: Base texture is not initialized. Use SetTexture() before SetTextureAlpha().";
const char kState[] = "sprite script tests";

class SpriteScriptClassTest : public TestSupport::ScriptClassFixture<> {
protected:
    void SetUp() override
    {
        RenderSystem::Instance().SetCurrentGameState(kState);
        ResourceFactory& factory = ResourceFactory::Instance();
        ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_SPRITE, [this]() -> std::shared_ptr<Resource> {
            return std::make_shared<ProbeSprite>(log);
        }));
        ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_TEXTURE, []() -> std::shared_ptr<Resource> {
            return std::make_shared<ProbeTexture>();
        }));
        ASSERT_NO_FATAL_FAILURE(OpenScripts());
    }
    void TearDown() override
    {
        engine.Close();
        ResourceManager::Instance().Clear();
        ResourceFactory::Instance().UnregisterResourceCreator(Resource::RT_SPRITE);
        ResourceFactory::Instance().UnregisterResourceCreator(Resource::RT_TEXTURE);
        RenderSystem::Instance().RemoveGameState(kState);
    }

    std::string String(const char* name)
    {
        lua_getglobal(L, name);
        EXPECT_EQ(LUA_TSTRING, lua_type(L, -1)) << name;
        const std::string value = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
        lua_pop(L, 1);
        return value;
    }

    // The probe stored under the name, or null; never creates one.
    ProbeSprite* Probe(const std::string& name)
    {
        if (!ResourceManager::Instance().IsExist(name))
            return nullptr;
        std::shared_ptr<Resource> resource;
        ResourceManager::Instance().GetResource(name, Resource::RT_SPRITE, resource);
        return dynamic_cast<ProbeSprite*>(resource.get());
    }

    // A wrapper "s" attached to the sprite "hero", with the log emptied.
    ProbeSprite* AttachedHero()
    {
        Run("s = Sprite() s:SetName('hero')");
        ProbeSprite* probe = Probe("hero");
        EXPECT_NE(nullptr, probe);
        log.clear();
        return probe;
    }

    Log log;
};

// Every method of the class, and the ones that need no sprite.
const char* const kMethods[] = {
    "GetName", "SetName", "Show", "Hide", "SetColor", "SetHotSpot", "SetPosition", "SetBlendMode",
    "SetTextureRect", "SetFullTextureRect", "IsVisible", "GetVerticalScale", "GetHorizontalScale",
    "SetTexture", "BlurTexture", "SetTextureAlpha", "SetScreenBufferTexture", "SetPriority", "SetRotation",
    "SetVerticalScale", "SetHorizontalScale", "GetColor", "GetTexture", "GetHotSpot", "GetRotation",
    "GetPriority", "GetPosition", "GetTextureRect", "SetFlipVertical", "SetFlipHorizontal", "IsFlipVertical",
    "IsFlipHorizontal", "IsAlphaCollided", "IsSpriteCollided", "RestoreAlpha", "ApplyAlphaMask",
    "DecrementAlphaCounter",
};
const std::set<std::string> kWithoutSprite = {"SetName", "GetTexture", "GetTextureRect", "RestoreAlpha",
                                              "DecrementAlphaCounter"};

TEST_F(SpriteScriptClassTest, ClassTableHoldsTheMethods)
{
    std::set<std::string> expected(std::begin(kMethods), std::end(kMethods));
    expected.insert("new");
    EXPECT_EQ(expected, Methods("Sprite"));
}

// The set-up check comes before any argument is read, so no arguments are passed here.
TEST_F(SpriteScriptClassTest, MethodsNeedASpriteFirst)
{
    for (const char* method : kMethods) {
        if (kWithoutSprite.count(method))
            continue;
        SCOPED_TRACE(method);
        EXPECT_THAT(FailureOf(std::string("s = Sprite() s:") + method + "()"), EndsWith(kNotInitialised));
    }
    Run("s = Sprite() t = s:GetTexture() x, y, w, h = s:GetTextureRect()");
    EXPECT_EQ("", String("t"));
    EXPECT_THAT(Numbers({"x", "y", "w", "h"}), ElementsAre(0, 0, 0, 0));
    EXPECT_TRUE(log.empty());
}

TEST_F(SpriteScriptClassTest, SetNameAttachesAHiddenSpriteSharedByName)
{
    Run("a = Sprite() a:SetName('hero') n = a:GetName() v = a:IsVisible()");
    ProbeSprite* hero = Probe("hero");
    ASSERT_NE(nullptr, hero);
    EXPECT_EQ("hero", String("n"));
    EXPECT_EQ(0, Number("v"));
    EXPECT_THAT(log, ElementsAre("SetVisible 0"));

    // A second wrapper given the same name drives that very sprite, and hides it again.
    Run("a:Show() b = Sprite() b:SetName('hero') v = a:IsVisible()");
    EXPECT_EQ(hero, Probe("hero"));
    EXPECT_EQ(0, Number("v"));
    Run("b:Show() v = a:IsVisible()");
    EXPECT_EQ(1, Number("v"));

    // Reattaching keeps what the wrapper set itself.
    Run("b:SetTexture('wall') b:SetFullTextureRect() b:SetName('villain') t = b:GetTexture() "
        "x, y, w, h = b:GetTextureRect() n = b:GetName()");
    EXPECT_EQ("wall", String("t"));
    EXPECT_EQ("villain", String("n"));
    EXPECT_THAT(Numbers({"x", "y", "w", "h"}), ElementsAre(0, 0, 64, 64));

    // The sprite outlives its wrappers in the resource manager.
    Run("a = nil b = nil");
    EXPECT_EQ(hero, Probe("hero"));
}

TEST_F(SpriteScriptClassTest, NamesAreTextUpToTheFirstZeroByte)
{
    struct Case {
        const char* argument;
        const char* name;
    } cases[] = {{"'ab\\0cd'", "ab"}, {"5", "5"}, {"'a b'", "a b"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        Run(std::string("s = Sprite() s:SetName(") + c.argument + ") n = s:GetName() s:SetTexture('tex' .. " + c.argument +
            ") t = s:GetTexture()");
        EXPECT_EQ(c.name, String("n"));
        EXPECT_EQ(std::string("tex") + c.name, String("t"));
        EXPECT_NE(nullptr, Probe(c.name));
        EXPECT_TRUE(ResourceManager::Instance().IsExist(std::string("tex") + c.name));
    }
}

TEST_F(SpriteScriptClassTest, SetNameFailuresLeaveNoSprite)
{
    std::shared_ptr<Resource> wall;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("wall", Resource::RT_TEXTURE, wall));

    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* error;
    } cases[] = {
        // A name held by a texture is never driven as a sprite.
        {"wall", [] {}, "Error: Resource (wall) creating error."},
        // A sprite is filed under the current game state; without one the engine refuses.
        {"orphan", [] { RenderSystem::Instance().SetCurrentGameState(""); }, "Error: Internal error."},
        {"ghost", [] { ResourceFactory::Instance().UnregisterResourceCreator(Resource::RT_SPRITE); },
         "Error: Resource (ghost) creating error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Run("s = Sprite() s:SetName('hero')");
        c.arrange();
        EXPECT_THAT(FailureOf(std::string("s:SetName('") + c.name + "')"), EndsWith(c.error));
        EXPECT_THAT(FailureOf("s:GetName()"), EndsWith(kNotInitialised));
        EXPECT_FALSE(Probe(c.name));
    }
    EXPECT_EQ(Resource::RT_TEXTURE, wall->GetType());
}

TEST_F(SpriteScriptClassTest, SettersReachTheSpriteAndGettersReadIt)
{
    struct Case {
        const char* set;
        const char* logged;
        const char* get;
        std::vector<double> got;
    } cases[] = {
        {"s:SetPosition(1.5, -2)", "SetPosition 1.5 -2", "x, y = s:GetPosition()", {1.5, -2}},
        {"s:SetHotSpot(3, 4.25)", "SetHotSpot 3 4.25", "x, y = s:GetHotSpot()", {3, 4.25}},
        {"s:SetPriority(7.5)", "SetPriority 7.5", "x = s:GetPriority()", {7.5}},
        {"s:SetVerticalScale(0.5)", "SetVerticalScale 0.5", "x = s:GetVerticalScale()", {0.5}},
        {"s:SetHorizontalScale(-2)", "SetHorizontalScale -2", "x = s:GetHorizontalScale()", {-2}},
        // Numbers reach the engine in single precision.
        {"s:SetPosition(0.1, 1e40)", "SetPosition 0.100000001 inf", "x, y = s:GetPosition()",
         {static_cast<double>(0.1f), HUGE_VAL}},
        // Strings that read as numbers are numbers to Lua.
        {"s:SetPriority('12')", "SetPriority 12", "x = s:GetPriority()", {12}},
    };
    AttachedHero();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        log.clear();
        Run(std::string(c.set) + " " + c.get);
        EXPECT_THAT(log, ElementsAre(c.logged));
        const std::vector<double> got = c.got.size() == 2 ? Numbers({"x", "y"}) : Numbers({"x"});
        EXPECT_EQ(c.got, got);
    }
}

TEST_F(SpriteScriptClassTest, BlendModeIsTheTruncatedInteger)
{
    struct Case {
        const char* mode;
        int passed;
    } cases[] = {{"3", 3}, {"5.9", 5}, {"-1.5", -1}, {"4294967298", 2}, {"0/0", 0},
                 // Far outside 32 bits the number still wraps instead of being undefined.
                 {"1e20", 1661992960}, {"-1e20", -1661992960}, {"-1/0", 0}};
    ProbeSprite* hero = AttachedHero();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Run(std::string("s:SetBlendMode(") + c.mode + ")");
        EXPECT_EQ(c.passed, hero->GetBlendMode());
    }
}

TEST_F(SpriteScriptClassTest, ShowAndHideOnlyCallOnAChange)
{
    AttachedHero();
    Run("s:Hide() a = s:IsVisible() s:Show() s:Show() b = s:IsVisible() s:Hide() s:Hide() c = s:IsVisible()");
    EXPECT_THAT(log, ElementsAre("SetVisible 1", "SetVisible 0"));
    EXPECT_THAT(Numbers({"a", "b", "c"}), ElementsAre(0, 1, 0));
}

TEST_F(SpriteScriptClassTest, ColoursKeepTheLowByteOfEachChannel)
{
    struct Case {
        const char* channels;
        uint32_t argb;
    } cases[] = {
        {"10, 20, 30, 40", 0x280A141Eu},
        {"256, 0, 0, 255", 0xFF000000u},
        {"-1, 0, 0, 255", 0xFFFF0000u},
        {"321, 1.9, -1.9, -256", 0x004101FFu},
        {"4294967303, 0, 0, 1", 0x01070000u},
        // Numbers with no integer count as 0.
        {"0/0, 1/0, -1/0, 255.99", 0xFF000000u},
    };
    ProbeSprite* hero = AttachedHero();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channels);
        Run(std::string("s:SetColor(") + c.channels + ") r, g, b, a = s:GetColor()");
        EXPECT_EQ(c.argb, hero->GetColor());
        EXPECT_THAT(Numbers({"r", "g", "b", "a"}),
                    ElementsAre((c.argb >> 16) & 0xFF, (c.argb >> 8) & 0xFF, c.argb & 0xFF, c.argb >> 24));
    }
    // A colour set by the engine reads back in the same channel order.
    hero->SetColor(0x11223344u);
    Run("r, g, b, a = s:GetColor()");
    EXPECT_THAT(Numbers({"r", "g", "b", "a"}), ElementsAre(0x22, 0x33, 0x44, 0x11));
}

TEST_F(SpriteScriptClassTest, RotationIsInDegreesForScripts)
{
    struct Case {
        double degrees;
        float radians;
        double back;
    } cases[] = {
        {180, 3.14159274f, 180},
        {90, 1.57079637f, 90},
        {45, 0.785398185f, 45},
        {1, 0.0174532924f, 0.99999994039535522},
        {-30, -0.52359879f, -30},
    };
    ProbeSprite* hero = AttachedHero();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        Run(Format("s:SetRotation(%.17g) d = s:GetRotation()", c.degrees));
        EXPECT_EQ(c.radians, hero->GetRotation());
        EXPECT_EQ(c.back, Number("d"));
    }
}

TEST_F(SpriteScriptClassTest, FlipsNeedExactlyOne)
{
    struct Case {
        const char* flag;
        bool flipped;
    } cases[] = {{"1", true}, {"2", false}, {"0", false}, {"0.5", false}, {"1.5", false}, {"-1", false}};
    ProbeSprite* hero = AttachedHero();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flag);
        // Set from the opposite state so that every case shows a change.
        Run(std::string("s:SetFlipVertical(") + (c.flipped ? "0" : "1") + ") s:SetFlipHorizontal(" +
            (c.flipped ? "0" : "1") + ")");
        Run(std::string("s:SetFlipVertical(") + c.flag + ") s:SetFlipHorizontal(" + c.flag +
            ") v = s:IsFlipVertical() h = s:IsFlipHorizontal()");
        EXPECT_EQ(c.flipped, hero->IsFlipVertical());
        EXPECT_EQ(c.flipped, hero->IsFlipHorizontal());
        EXPECT_THAT(Numbers({"v", "h"}), ElementsAre(c.flipped ? 1 : 0, c.flipped ? 1 : 0));
    }
}

TEST_F(SpriteScriptClassTest, SetTextureGivesTheSpriteTheNamedTexture)
{
    ProbeSprite* hero = AttachedHero();
    Run("s:SetTexture('wall') t = s:GetTexture() x, y, w, h = s:GetTextureRect()");
    EXPECT_THAT(log, ElementsAre("SetTexture wall"));
    ASSERT_TRUE(hero->GetTexture());
    EXPECT_STREQ("wall", hero->GetTexture()->GetName());
    EXPECT_EQ("wall", String("t"));
    // Only the rectangle methods change the rectangle.
    EXPECT_THAT(Numbers({"x", "y", "w", "h"}), ElementsAre(0, 0, 0, 0));

    // A texture already loaded is shared, not loaded again.
    Run("b = Sprite() b:SetName('villain') b:SetTexture('wall')");
    EXPECT_EQ(hero->GetTexture(), Probe("villain")->GetTexture());

    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* error;
    } failures[] = {
        // A sprite's name is no texture.
        {"villain", [] {}, "Error: Resource (villain) not found."},
        // The loader's own error passes through unchanged.
        {"broken.png", [] {}, "Error: Texture (broken.png) loading error."},
        {"sky", [] { ResourceFactory::Instance().UnregisterResourceCreator(Resource::RT_TEXTURE); },
         "Error: Resource (sky) not found."},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.name);
        c.arrange();
        log.clear();
        EXPECT_THAT(FailureOf(std::string("s:SetTexture('") + c.name + "')"), EndsWith(c.error));
        EXPECT_TRUE(log.empty());
        Run("t = s:GetTexture()");
        EXPECT_EQ("wall", String("t"));
        EXPECT_STREQ("wall", hero->GetTexture()->GetName());
    }
}

TEST_F(SpriteScriptClassTest, TextureRectIsClampedToTheTexture)
{
    struct Case {
        const char* rect;
        std::vector<double> stored;
        std::vector<float> passed;
    } cases[] = {
        {"-10, 0, 50, 20", {0, 0, 50, 20}, {0, 0, 50, 20}},
        {"40, 0, 50, 20", {40, 0, 24, 20}, {40, 0, 24, 20}},
        {"0, 60, 10, 10", {0, 60, 10, 4}, {0, 60, 10, 4}},
        {"-5, -5, 100, 100", {0, 0, 64, 64}, {0, 0, 64, 64}},
        // The wrapper keeps whole numbers; the sprite gets the floats.
        {"1.9, 2.9, 10.5, 10.5", {1, 2, 10, 10}, {1.9f, 2.9f, 10.5f, 10.5f}},
        // An origin past the edge is kept, with the size that reaches the edge.
        {"70, 0, 10, 10", {70, 0, -6, 10}, {70, 0, -6, 10}},
    };
    ProbeSprite* hero = AttachedHero();
    Run("s:SetTexture('wall')");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rect);
        Run(std::string("s:SetTextureRect(") + c.rect + ") x, y, w, h = s:GetTextureRect()");
        EXPECT_EQ(c.stored, Numbers({"x", "y", "w", "h"}));
        float x, y, w, h;
        hero->GetTextureRect(x, y, w, h);
        EXPECT_EQ(c.passed, (std::vector<float>{x, y, w, h}));
    }

    Run("s:SetTexture('strip') x, y, w, h = s:GetTextureRect()");
    EXPECT_THAT(Numbers({"x", "y", "w", "h"}), ElementsAre(70, 0, -6, 10));
    log.clear();
    Run("s:SetFullTextureRect() x, y, w, h = s:GetTextureRect()");
    EXPECT_THAT(Numbers({"x", "y", "w", "h"}), ElementsAre(0, 0, 64, 32));
    EXPECT_THAT(log, ElementsAre("SetTextureRect 0 0 64 32"));
}

TEST_F(SpriteScriptClassTest, TextureRectNeedsATexture)
{
    AttachedHero();
    EXPECT_THAT(FailureOf("s:SetTextureRect(0, 0, 8, 8)"), EndsWith(kNoBaseTexture));
    // The texture check also comes before the arguments.
    EXPECT_THAT(FailureOf("s:SetTextureRect()"), EndsWith(kNoBaseTexture));
    EXPECT_THAT(FailureOf("s:SetFullTextureRect()"), EndsWith(kNoBaseTexture));
    Run("x, y, w, h = s:GetTextureRect()");
    EXPECT_THAT(Numbers({"x", "y", "w", "h"}), ElementsAre(0, 0, 0, 0));
    EXPECT_TRUE(log.empty());
}

TEST_F(SpriteScriptClassTest, WrongArgumentsNameTheirNumberAsTheReferenceCountsThem)
{
    AttachedHero();
    Run("s:SetTexture('wall')");
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"s:SetPosition('left', 1)", "bad argument #1 to 'SetPosition' (number expected, got string)"},
        {"s:SetPosition(1, 'top')", "bad argument #2 to 'SetPosition' (number expected, got string)"},
        {"s:SetPosition(1)", "bad argument #2 to 'SetPosition' (number expected, got no value)"},
        {"s:SetColor(1, 2, 3)", "bad argument #4 to 'SetColor' (number expected, got no value)"},
        {"s:SetName({})", "bad argument #1 to 'SetName' (string expected, got table)"},
        {"s:SetName()", "bad argument #1 to 'SetName' (string expected, got no value)"},
        {"s:SetTexture(nil)", "bad argument #1 to 'SetTexture' (string expected, got nil)"},
        {"s:SetFlipVertical('yes')", "bad argument #1 to 'SetFlipVertical' (number expected, got string)"},
        {"s:SetTextureRect(1, 2, 3)", "bad argument #4 to 'SetTextureRect' (number expected, got no value)"},
        {"s:SetRotation(s)", "bad argument #1 to 'SetRotation' (number expected, got userdata)"},
        {"s.SetPosition(1, 2)", "calling 'SetPosition' on bad self (Sprite expected, got number)"},
        {"Sprite.SetName(MathSystem(), 'x')", "calling 'SetName' on bad self (Sprite expected, got userdata)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_THAT(FailureOf(c.script), HasSubstr(c.message));
    }
    // The sprite is still attached and unchanged.
    Run("n = s:GetName() x, y = s:GetPosition()");
    EXPECT_EQ("hero", String("n"));
    EXPECT_THAT(Numbers({"x", "y"}), ElementsAre(0, 0));
}

// A sprite the wrapper lets go of keeps no collision function that could reach it; a
// function installed after the wrapper's own, by another wrapper or anyone else, is not
// the wrapper's to take. A sprite without texture shows whose function is installed: the
// wrapper's hit test raises the texture message, an empty function answers false.
TEST_F(SpriteScriptClassTest, LettingGoOfASpriteClearsItsOwnCollisionFunctionOnly)
{
    ProbeSprite* hero = AttachedHero();
    EXPECT_THROW(hero->IsAlphaCollided(0, 0), std::runtime_error);
    Run("s:SetName('villain')");
    EXPECT_FALSE(hero->IsAlphaCollided(0, 0));

    ProbeSprite* villain = Probe("villain");
    EXPECT_THROW(villain->IsAlphaCollided(0, 0), std::runtime_error);
    Run("s = nil");
    EXPECT_FALSE(villain->IsAlphaCollided(0, 0));

    // The last wrapper to attach owns the function; the first one dropped leaves it.
    Run("a = Sprite() a:SetName('villain') b = Sprite() b:SetName('villain')");
    Run("a = nil");
    EXPECT_THROW(villain->IsAlphaCollided(0, 0), std::runtime_error);
    Run("b = nil");
    EXPECT_FALSE(villain->IsAlphaCollided(0, 0));

    Run("a = Sprite() a:SetName('villain')");
    villain->SetCollisionFunction([](float, float) { return true; });
    Run("a = nil");
    EXPECT_TRUE(villain->IsAlphaCollided(0, 0));
}

}  // namespace
