#pragma once
// A small game window for the back-end's integration tests: documents and data folders in
// temporary directories, PNG fixtures written with FreeImage, the back-end application
// opened with a fixed frame time, and per-frame hooks for the test.

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "backend/Base/HGEEngineWrapperApplication.h"
#include "backend/Base/HGESystemObject.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/TempFolder.h"

namespace BackendTest {

// Writes an ARGB picture, top row first, as a PNG file.
inline bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF);
    if (!bitmap)
        return false;
    for (int y = 0; y < height; ++y) {
        // FreeImage keeps the bottom row first.
        uint32_t* line = reinterpret_cast<uint32_t*>(FreeImage_GetScanLine(bitmap, height - 1 - y));
        for (int x = 0; x < width; ++x)
            line[x] = argb[static_cast<size_t>(y * width + x)];
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0) != 0;
    FreeImage_Unload(bitmap);
    return saved;
}

const uint32_t kRed = 0xFFFF0000u;
const uint32_t kGreen = 0xFF00FF00u;
const uint32_t kBlue = 0xFF0000FFu;
const uint32_t kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0x00000000u;

// 8 x 8: top-left quarter red, top-right green, bottom-left blue, bottom-right white.
inline std::vector<uint32_t> QuarterPicture()
{
    std::vector<uint32_t> px(64);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            px[static_cast<size_t>(y * 8 + x)] = y < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : kWhite);
    return px;
}

inline HGE* Hge()
{
    return MobrixCore::HGESystemObject::Instance().GetObjectW();
}

class BackendWindow {
public:
    static const int kWidth = 64;
    static const int kHeight = 48;

    BackendWindow()
    {
        setenv("XDG_DOCUMENTS_DIR", docs.c_str(), 1);
        EngineCore::RenderSystem::Instance().SetCurrentGameState("test");
        EngineCore::RenderSystem::ScreenSettings settings{};
        settings.bpp = 32;
        settings.width = kWidth;
        settings.height = kHeight;
        settings.windowed = true;
        settings.stretch = false;
        EngineCore::RenderSystem::Instance().ApplyScreenSettings(settings);
        app = std::make_shared<MobrixCore::HGEEngineWrapperApplication>();
    }

    ~BackendWindow()
    {
        EngineCore::ResourceManager::Instance().Clear();
        if (app)
            app->Close();
        app.reset();
    }

    // Writes a fixture into the data folder; Index() makes the folder known to the file system.
    void AddPng(const std::string& name, int width, int height, const std::vector<uint32_t>& argb)
    {
        ASSERT_TRUE(WritePng(data + "/" + name, width, height, argb));
    }
    void Index() { EngineCore::FileSystem::Instance().AddDirectory(data.c_str(), nullptr); }

    // The usual start: the 8 x 8 four-quarters picture as `name`, indexed, window open.
    void OpenWithQuarters(const std::string& name)
    {
        AddPng(name, 8, 8, QuarterPicture());
        Index();
        Open();
    }

    void Open()
    {
        ASSERT_TRUE(app->Open([this](float dt) { return RenderFrame(dt); },
                              [this](float dt) { return UpdateFrame(dt); }));
        Hge()->Test_SetFixedDelta(1.0f / 60.0f);
    }

    // Runs the frame loop for `count` frames (the update of frame `count` ends it before
    // that frame's drawing, so `count - 1` frames are drawn).
    void RunFrames(int count)
    {
        frame = 0;
        lastFrame = count;
        ASSERT_TRUE(app->Run());
    }

    std::vector<uint32_t> ReadScreen() const
    {
        std::vector<uint32_t> px(static_cast<size_t>(kWidth * kHeight));
        EXPECT_TRUE(Hge()->Test_ReadPixels(0, px.data()));
        return px;
    }

    std::string ReadLog() const
    {
        std::ifstream in(docs + "/Vexa.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    TestSupport::TempFolder docsFolder;
    TestSupport::TempFolder dataFolder;
    const std::string docs = docsFolder.Path();
    const std::string data = dataFolder.Path();
    std::shared_ptr<MobrixCore::HGEEngineWrapperApplication> app;
    std::function<void(int)> onUpdate;   // called with the frame number, from 1
    std::function<void()> onRender;
    int frame = 0;
    int lastFrame = 2;

private:
    bool UpdateFrame(float)
    {
        ++frame;
        if (onUpdate)
            onUpdate(frame);
        return frame >= lastFrame;
    }

    bool RenderFrame(float)
    {
        if (onRender)
            onRender();
        return false;
    }
};

inline uint32_t Rgb(uint32_t argb)
{
    return argb & 0x00FFFFFFu;
}

// Per channel distance of the colour bytes.
inline int ColourDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

}  // namespace BackendTest
