// The demo's walker: its path goes round the wall to the cell under the target point,
// and its body never touches the wall on the way.
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <lua.hpp>

#include "tests/support/ScriptClassFixture.h"

namespace {

// Sprites are tables that remember their last position; the wall is the demo's own.
const char* const kStubs = R"(
Game = { sprites = {} }
function Game.MakeSprite(name, texture, x, y, priority)
  local sprite = { x = x, y = y }
  function sprite:SetPosition(px, py) self.x, self.y = px, py end
  Game.sprites[name] = sprite
  return sprite
end
-- Frames until the walker stops, failing when its body meets the wall.
function Walk(frames)
  local wall = Game.sprites['Game.Wall']
  local left, top, right, bottom = wall.x, wall.y, wall.x + 64, wall.y + 512
  touched = 0
  for i = 1, frames do
    Walker.Update(1 / 60)
    local s = Game.sprites['Game.Walker']
    if s.x + 48 > left and s.x < right and s.y + 48 > top and s.y < bottom then touched = touched + 1 end
    if Walker.next > #Walker.path then return i end
  end
  return -1
end
)";

class DemoWalkerTest : public TestSupport::ScriptClassFixture<> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OpenScripts());
        Run(kStubs);
        std::ifstream file(std::string(DEMO_SCRIPTS_DIR) + "/Walker.lua");
        std::stringstream text;
        text << file.rdbuf();
        ASSERT_FALSE(text.str().empty());
        Run(text.str());
    }
    void TearDown() override { engine.Close(); }
};

}  // namespace

TEST_F(DemoWalkerTest, WalksRoundTheWallToTheCellUnderThePoint)
{
    struct Case {
        const char* name;
        double fromX, fromY;
        double toX, toY;
        double endX, endY;  // the centre of the target cell
    };
    const Case cases[] = {
        {"across the middle", 224, 416, 800, 416, 800, 416},
        {"from just left of the wall's foot", 480, 608, 600, 130, 608, 160},
        {"along the top, past the wall", 96, 96, 990, 40, 992, 32},
        {"round the bottom end", 500, 700, 530, 700, 544, 672},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Run("Walker.Start(" + std::to_string(c.fromX) + ", " + std::to_string(c.fromY) + ")");
        EXPECT_GT(Eval("Walker.WalkTo(" + std::to_string(c.toX) + ", " + std::to_string(c.toY) + ")"), 1);
        EXPECT_GT(Eval("Walk(600)"), 0) << "arrives";
        EXPECT_EQ(0, Eval("touched"));
        EXPECT_EQ(c.endX, Eval("Walker.x"));
        EXPECT_EQ(c.endY, Eval("Walker.y"));
        EXPECT_EQ(c.endX - 24, Eval("Game.sprites['Game.Walker'].x"));
    }
}

TEST_F(DemoWalkerTest, PointsOnTheWallOrOffTheFieldAreIgnored)
{
    Run("Walker.Start(224, 416)");
    for (const char* point : {"540, 300", "-1, 10", "10, -0.5", "1024, 10", "10, 768"}) {
        SCOPED_TRACE(point);
        EXPECT_EQ(0, Eval(std::string("Walker.WalkTo(") + point + ")"));
        Run("for i = 1, 30 do Walker.Update(1 / 60) end");
        EXPECT_EQ(224, Eval("Walker.x")) << "stays";
        EXPECT_EQ(416, Eval("Walker.y"));
    }
}

TEST_F(DemoWalkerTest, ToursItsTargetsUntilTheFirstClick)
{
    Run("Walker.Start(224, 416, { { x = 800, y = 416 }, { x = 224, y = 416 } })");
    Run("far = 0 for i = 1, 2000 do Walker.Update(1 / 60) if Walker.x == 800 then far = far + 1 end end");
    EXPECT_GT(Eval("far"), 0);
    Run("Walker.OnClick(96, 96) Walk(1000)");
    EXPECT_EQ(96, Eval("Walker.x"));
    EXPECT_EQ(96, Eval("Walker.y"));
    Run("Walker.Update(1)");
    EXPECT_EQ(96, Eval("Walker.x")) << "the tour is over";
}
