#include <memory>
#include <vector>

#include "backend/Base/HGEDistortionMesh.h"
#include "engine/Renderer/DistortionMesh.h"
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using EngineCore::DistortionMesh;
using EngineCore::Resource;
using EngineCore::ResourceManager;

namespace {

struct Probe {
    int x, y;
    uint32_t rgb;
};

// 32 x 32: the left half red, the right half blue.
std::vector<uint32_t> Halves()
{
    std::vector<uint32_t> px(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            px[static_cast<size_t>(y * 32 + x)] = x < 16 ? kRed : kBlue;
    return px;
}

}  // namespace

// A 3 x 3 mesh over the whole picture at (8, 8): cells of 16 x 16, so the colour edge
// runs down the middle column of nodes. Moving the centre node 8 pixels right bends the
// edge: at the middle row it lies at x = 32 instead of 24, at the top and bottom it stays.
TEST(DistortionMeshDrawing, ADisplacedNodeBendsThePicture)
{
    BackendWindow window;
    window.AddPng("halves.png", 32, 32, Halves());
    window.Index();
    window.Open();

    std::shared_ptr<Resource> texture;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("halves.png", Resource::RT_TEXTURE, texture));
    std::shared_ptr<Resource> resource;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("wave", Resource::RT_DISTORTION_MESH, resource));
    auto mesh = std::dynamic_pointer_cast<DistortionMesh>(resource);
    ASSERT_TRUE(mesh);
    mesh->SetupMesh(3, 3);
    ASSERT_TRUE(mesh->SetTexture(texture));
    mesh->SetTextureRect(0, 0, 32, 32);
    mesh->SetPosition(8, 8);
    mesh->SetVisible(true);

    const uint32_t R = Rgb(kRed), B = Rgb(kBlue), K = 0;
    struct Case {
        const char* name;
        bool displaced;
        std::vector<Probe> probes;
    } cases[] = {
        {"at rest", false, {{22, 24, R}, {26, 24, B}, {29, 24, B}, {34, 24, B}, {9, 9, R}, {38, 38, B}, {6, 24, K}, {41, 24, K}}},
        {"centre node moved right",
         true,
         {{29, 24, R}, {30, 23, R}, {34, 24, B}, {22, 9, R}, {26, 9, B}, {22, 38, R}, {26, 38, B}, {6, 24, K}, {41, 24, K}}},
    };

    window.onRender = [&]() { mesh->Render(); };
    window.onUpdate = [&](int frame) {
        if (frame >= 2) {
            const Case& c = cases[frame - 2];
            const std::vector<uint32_t> screen = window.ReadScreen();
            for (const Probe& p : c.probes) {
                const uint32_t got = Rgb(screen[static_cast<size_t>(p.y * BackendWindow::kWidth + p.x)]);
                EXPECT_EQ(p.rgb, got) << c.name << " at (" << p.x << "," << p.y << ")";
            }
        }
        if (frame == 2)
            mesh->SetDisplacement(1, 1, 8, 0, 0);
    };
    window.RunFrames(3);
    EXPECT_EQ(3, window.frame);
}
