// The custom cursor over the back-end: shown through the engine's GUI system and
// drawn by the back-end's GUI layer at the pointer.
#include <stdexcept>

#include "backend/Base/HGECursor.h"
#include "backend/Base/HGEGUISystem.h"
#include "backend/Helpers/hgeGUI.h"
#include "engine/GUI/Cursor.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/Sprite.h"
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using EngineCore::GUISystem;
using EngineCore::Resource;
using EngineCore::ResourceManager;

namespace {

std::shared_ptr<Resource> Get(const char* name, int type)
{
    std::shared_ptr<Resource> r;
    EXPECT_TRUE(ResourceManager::Instance().GetResource(name, type, r)) << name;
    return r;
}

class CursorDrawing : public testing::Test {
protected:
    void SetUp() override
    {
        window.AddPng("red.png", 4, 4, std::vector<uint32_t>(16, kRed));
        window.Index();
        window.Open();
        window.onUpdate = [](int) { GUISystem::Instance().Update(1.0f / 60.0f); };
        window.onRender = [] { GUISystem::Instance().Render(); };
        sprite = std::dynamic_pointer_cast<EngineCore::Sprite>(Get("pointer", Resource::RT_SPRITE));
        ASSERT_TRUE(sprite);
        ASSERT_TRUE(sprite->SetTexture(Get("red.png", Resource::RT_TEXTURE)));
        sprite->SetTextureRect(0, 0, 4, 4);
        cursor = std::dynamic_pointer_cast<EngineCore::Cursor>(Get("Cursor.System", Resource::RT_CURSOR));
        ASSERT_TRUE(cursor);
        GUISystem::Instance().SetCursorResource(cursor);
    }
    void TearDown() override { GUISystem::Instance().Release(); }

    uint32_t PixelAtPointer()
    {
        // The pointer was put at (20, 30) of the game picture; the cursor's 4 x 4 cells
        // start there (hot spot 0, 0).
        const std::vector<uint32_t> screen = window.ReadScreen();
        return Rgb(screen[static_cast<size_t>(31 * BackendWindow::kWidth + 21)]);
    }

    BackendWindow window;
    std::shared_ptr<EngineCore::Sprite> sprite;
    std::shared_ptr<EngineCore::Cursor> cursor;
};

}  // namespace

TEST_F(CursorDrawing, AShownCursorIsDrawnAtThePointerAndGoesWithItsSprite)
{
    try {
        GUISystem::Instance().ShowCursor();
        FAIL() << "shown without a sprite";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("Error: Cursor is not initialized."));
    }
    EXPECT_FALSE(GUISystem::Instance().IsCursorVisible());

    cursor->SetSprite(sprite);
    GUISystem::Instance().ShowCursor();
    EXPECT_TRUE(GUISystem::Instance().IsCursorVisible());
    ASSERT_TRUE(MobrixCore::HGEGUISystem::Instance()->HasCursor());
    // Full screen: the pointer counts as over the window wherever it is.
    Hge()->System_SetState(HGE_WINDOWED, false);
    Hge()->Input_SetMousePos(20, 30);
    window.RunFrames(3);
    ASSERT_TRUE(Hge()->Input_IsMouseOver());
    EXPECT_EQ(Rgb(kRed), PixelAtPointer());

    // Hidden (as the script method hides it, the custom cursor being in use), it is not
    // drawn; shown again, it is.
    GUISystem::Instance().HideCursor(true);
    window.RunFrames(3);
    EXPECT_EQ(0u, PixelAtPointer());
    GUISystem::Instance().ShowCursor();
    window.RunFrames(3);
    EXPECT_EQ(Rgb(kRed), PixelAtPointer());

    // The sprite's helper is freed by a release of the resources: nothing is drawn
    // from it afterwards, and nothing crashes.
    ResourceManager::Instance().Clear();
    window.RunFrames(3);
    EXPECT_EQ(0u, PixelAtPointer());

    // An empty sprite hides the cursor and clears the layer's cursor.
    cursor->SetSprite(nullptr);
    EXPECT_FALSE(GUISystem::Instance().IsCursorVisible());
    EXPECT_FALSE(MobrixCore::HGEGUISystem::Instance()->HasCursor());
}
