#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "backend/Base/HGEDistortionMesh.h"
#include "backend/Base/HGESystemObject.h"
#include "backend/Base/HGETexture.h"
#include "backend/Helpers/hgeDistortionMesh.h"
#include "engine/Renderer/RenderSystem.h"
#include "tests/support/FailureText.h"

using MobrixCore::hgeDistortionMesh;
using MobrixCore::HGEDistortionMesh;
using MobrixCore::HGETexture;
using testing::EndsWith;
using TestSupport::FailureText;

namespace {

struct Point {
    float x, y;
};

void ExpectNode(const hgeDistortionMesh& mesh, int column, int row, Point position)
{
    EXPECT_FLOAT_EQ(position.x, mesh.GetNode(column, row).x) << column << "," << row;
    EXPECT_FLOAT_EQ(position.y, mesh.GetNode(column, row).y) << column << "," << row;
}

class HelperMesh : public testing::Test {
protected:
    void SetUp() override
    {
        hge = hgeCreate(HGE_VERSION);
        ASSERT_NE(nullptr, hge);
    }
    void TearDown() override
    {
        if (texture)
            hge->Texture_Free(texture);
        hge->Release();
    }
    HGE* hge = nullptr;
    HTEXTURE texture = 0;
};

TEST_F(HelperMesh, NewGridRestsAtTheOriginInWhite)
{
    hgeDistortionMesh mesh(4, 3);
    EXPECT_EQ(4, mesh.GetColumns());
    EXPECT_EQ(3, mesh.GetRows());
    EXPECT_EQ(6, mesh.GetBlendMode());
    EXPECT_EQ(0u, mesh.GetTexture());
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const hgeVertex& node = mesh.GetNode(column, row);
            EXPECT_EQ(0xFFFFFFFFu, node.col);
            EXPECT_EQ(0.5f, node.z);
            EXPECT_EQ(0.0f, node.x);
            EXPECT_EQ(0.0f, node.tx);
        }
    }
}

// A 3 x 3 grid over (0, 0, 100, 50): cells of 50 x 25, the centre node at (50, 25).
TEST_F(HelperMesh, DisplacementsAreMeasuredFromTheirReference)
{
    struct Case {
        int column, row;
        float dx, dy;
        int reference;
        Point want;
    } cases[] = {
        {1, 1, 5, 0, hgeDistortionMesh::kNode, {55, 25}},
        {1, 1, 5, 0, hgeDistortionMesh::kCentre, {55, 25}},
        {1, 1, 5, 0, hgeDistortionMesh::kTopLeft, {5, 0}},
        {2, 0, -10, 3, hgeDistortionMesh::kNode, {90, 3}},
        {2, 0, -10, 3, hgeDistortionMesh::kCentre, {40, 28}},
        {0, 2, 0, 0, hgeDistortionMesh::kTopLeft, {0, 0}},
        // An unknown reference counts as the node's own rest position.
        {2, 2, 1, 1, 7, {101, 51}},
        {2, 2, 1, 1, -1, {101, 51}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.column << "," << c.row << " ref " << c.reference);
        hgeDistortionMesh mesh(3, 3);
        mesh.SetTextureRect(0, 0, 100, 50);
        mesh.SetDisplacement(c.column, c.row, c.dx, c.dy, c.reference);
        ExpectNode(mesh, c.column, c.row, c.want);
        // A second call replaces the first; it does not add to it.
        mesh.SetDisplacement(c.column, c.row, c.dx, c.dy, c.reference);
        ExpectNode(mesh, c.column, c.row, c.want);
        // Read back from each reference, the offset gives the same place again.
        for (int reference : {0, 1, 2}) {
            float dx = 0, dy = 0;
            mesh.GetDisplacement(c.column, c.row, reference, dx, dy);
            hgeDistortionMesh copy(3, 3);
            copy.SetTextureRect(0, 0, 100, 50);
            copy.SetDisplacement(c.column, c.row, dx, dy, reference);
            ExpectNode(copy, c.column, c.row, c.want);
        }
        // A new rectangle puts every node back at rest.
        mesh.SetTextureRect(0, 0, 100, 50);
        ExpectNode(mesh, c.column, c.row, {50.0f * static_cast<float>(c.column), 25.0f * static_cast<float>(c.row)});
    }
}

TEST_F(HelperMesh, TextureCoordinatesFollowRectangleAspectsAndTexture)
{
    texture = hge->Texture_Create(256, 256);
    ASSERT_NE(0u, texture);
    struct Case {
        const char* name;
        bool textured;
        float aspectH, aspectV;
        float x, y, w, h;
        Point first, last;  // (u, v) of the top-left and bottom-right nodes
    } cases[] = {
        {"aspects 2, 1", true, 2, 1, 0, 0, 256, 256, {0, 0}, {0.5f, 1}},
        {"part of the texture", true, 1, 1, 64, 128, 64, 64, {0.25f, 0.5f}, {0.5f, 0.75f}},
        {"no texture", false, 1, 1, 10, 20, 40, 80, {0.25f, 0.25f}, {1.25f, 1.25f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hgeDistortionMesh mesh(3, 2);
        if (c.textured)
            mesh.SetTexture(texture);
        mesh.SetTextureAspects(c.aspectH, c.aspectV);
        mesh.SetTextureRect(c.x, c.y, c.w, c.h);
        EXPECT_FLOAT_EQ(c.first.x, mesh.GetNode(0, 0).tx);
        EXPECT_FLOAT_EQ(c.first.y, mesh.GetNode(0, 0).ty);
        EXPECT_FLOAT_EQ(c.last.x, mesh.GetNode(2, 1).tx);
        EXPECT_FLOAT_EQ(c.last.y, mesh.GetNode(2, 1).ty);
        ExpectNode(mesh, 2, 1, {c.w, c.h});
    }

    // Aspects act only at the next rectangle.
    hgeDistortionMesh mesh(2, 2);
    mesh.SetTexture(texture);
    mesh.SetTextureRect(0, 0, 256, 256);
    mesh.SetTextureAspects(2, 2);
    EXPECT_FLOAT_EQ(1.0f, mesh.GetNode(1, 1).tx);
    mesh.SetTextureRect(0, 0, 256, 256);
    EXPECT_FLOAT_EQ(0.5f, mesh.GetNode(1, 1).tx);
}

// The resource, made and set up as the resource manager would.
class NamedMesh : public HGEDistortionMesh {
public:
    explicit NamedMesh(const std::string& name)
    {
        SetName(name);
        Init();
    }
    using HGEDistortionMesh::Init;
    using HGEDistortionMesh::Release;
};

const char kState[] = "distortion mesh tests";

class DistortionMeshResource : public testing::Test {
protected:
    void SetUp() override
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState(kState);
        HGE* hge = MobrixCore::HGESystemObject::Instance().GetObjectW();
        ASSERT_NE(nullptr, hge);
        for (auto* slot : {&texture, &otherTexture}) {
            *slot = std::make_shared<HGETexture>();
            (*slot)->Init(hge->Texture_Create(64, 32));
        }
    }
    void TearDown() override { EngineCore::RenderSystem::Instance().RemoveGameState(kState); }


    std::shared_ptr<HGETexture> texture;
    std::shared_ptr<HGETexture> otherTexture;
};

TEST_F(DistortionMeshResource, InitMakesOneCell)
{
    NamedMesh mesh("water");
    EXPECT_TRUE(mesh.IsValid());
    EXPECT_EQ(2, mesh.GetNumColumns());
    EXPECT_EQ(2, mesh.GetNumRows());
    ASSERT_NE(nullptr, mesh.GetData());
    EXPECT_EQ(2, mesh.GetData()->GetColumns());
    EXPECT_EQ(2, mesh.GetData()->GetRows());
}

TEST_F(DistortionMeshResource, NodeIndicesOutsideTheGridAreRefused)
{
    NamedMesh mesh("water");
    mesh.SetupMesh(4, 3);
    struct Case {
        int column, row;
    } cases[] = {{-1, 0}, {0, -1}, {4, 0}, {0, 3}, {4, 3}, {-2147483647 - 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.column << "," << c.row);
        const std::string message = "HGEDistortionMesh cell index is not valid.";
        float dx = 0, dy = 0;
        EXPECT_THAT(FailureText([&] { mesh.SetDisplacement(c.column, c.row, 1, 1, 0); }), EndsWith(message));
        EXPECT_THAT(FailureText([&] { mesh.GetDisplacement(c.column, c.row, 0, dx, dy); }), EndsWith(message));
        EXPECT_THAT(FailureText([&] { mesh.GetColor(c.column, c.row); }), EndsWith(message));
        EXPECT_THAT(FailureText([&] { mesh.SetColor(c.column, c.row, 0u); }), EndsWith(message));
    }
    // The far corner is inside; node colours stay white whatever is set.
    mesh.SetColor(3, 2, 0x12345678u);
    EXPECT_EQ(0xFFFFFFFFu, mesh.GetColor(3, 2));
    EXPECT_EQ(0xFFFFFFFFu, mesh.GetData()->GetNode(3, 2).col);
}

TEST_F(DistortionMeshResource, TooSmallAGridKeepsTheOldOne)
{
    NamedMesh mesh("water");
    mesh.SetupMesh(3, 4);
    const hgeDistortionMesh* grid = mesh.GetData();
    for (auto size : {std::make_pair(1, 5), std::make_pair(5, 1), std::make_pair(0, 0), std::make_pair(-3, 3)}) {
        SCOPED_TRACE(testing::Message() << size.first << " x " << size.second);
        EXPECT_THAT(FailureText([&] { mesh.SetupMesh(size.first, size.second); }),
                    EndsWith("Distortion mesh: minimum 2 rows and 2 columns."));
        EXPECT_EQ(3, mesh.GetNumColumns());
        EXPECT_EQ(4, mesh.GetNumRows());
        EXPECT_EQ(grid, mesh.GetData());
    }
}

TEST_F(DistortionMeshResource, AGridTooLargeToMakeKeepsTheOldOne)
{
    NamedMesh mesh("water");
    mesh.SetupMesh(3, 4);
    const hgeDistortionMesh* grid = mesh.GetData();
    EXPECT_ANY_THROW(mesh.SetupMesh(2147483647, 2147483647));
    EXPECT_EQ(3, mesh.GetNumColumns());
    EXPECT_EQ(4, mesh.GetNumRows());
    EXPECT_EQ(grid, mesh.GetData());
    // A node of the refused grid is not one of the kept grid's.
    EXPECT_THAT(FailureText([&] { mesh.SetDisplacement(50, 50, 1, 1, 0); }),
                EndsWith("HGEDistortionMesh cell index is not valid."));
}

TEST_F(DistortionMeshResource, ANewGridKeepsTextureAndRectangleOnly)
{
    NamedMesh mesh("water");
    mesh.SetupMesh(3, 3);
    ASSERT_TRUE(mesh.SetTexture(texture));
    mesh.SetTextureAspects(2, 2);
    mesh.SetTextureRect(0, 0, 64, 32);
    mesh.SetBlendMode(3);
    mesh.SetDisplacement(1, 1, 9, 9, 0);

    mesh.SetupMesh(3, 3);
    const hgeDistortionMesh& grid = *mesh.GetData();
    EXPECT_EQ(texture->GetHandle(), grid.GetTexture());
    EXPECT_EQ(6, grid.GetBlendMode());
    ExpectNode(grid, 1, 1, {32, 16});
    // Aspects back to 1: the far node maps to the texture's far corner.
    EXPECT_FLOAT_EQ(1.0f, grid.GetNode(2, 2).tx);
    EXPECT_FLOAT_EQ(1.0f, grid.GetNode(2, 2).ty);
}

TEST_F(DistortionMeshResource, OnlyTexturesAreTaken)
{
    NamedMesh mesh("water");
    ASSERT_TRUE(mesh.SetTexture(texture));
    // Something that is not a texture is refused, and the texture drawn stays owned.
    auto notATexture = std::make_shared<NamedMesh>("not a texture");
    EXPECT_FALSE(mesh.SetTexture(notATexture));
    EXPECT_FALSE(mesh.SetTexture(nullptr));
    EXPECT_EQ(texture, mesh.GetTexture());
    EXPECT_EQ(texture->GetHandle(), mesh.GetData()->GetTexture());
    ASSERT_TRUE(mesh.SetTexture(otherTexture));
    EXPECT_EQ(otherTexture->GetHandle(), mesh.GetData()->GetTexture());

    // Without a grid there is nothing to draw with.
    mesh.Release();
    EXPECT_FALSE(mesh.IsValid());
    EXPECT_FALSE(mesh.SetTexture(texture));
    for (const auto& call : std::vector<std::function<void()>>{
             [&] { mesh.SetTextureRect(0, 0, 1, 1); }, [&] { mesh.SetBlendMode(2); },
             [&] { mesh.SetTextureAspects(1, 1); }, [&] { mesh.SetDisplacement(0, 0, 0, 0, 0); },
             [&] { mesh.Render(); }}) {
        EXPECT_THAT(FailureText(call), EndsWith("Resource is not valid."));
    }
}

}  // namespace
