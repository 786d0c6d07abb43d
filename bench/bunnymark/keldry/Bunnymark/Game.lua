-- N bunnies of one 32x32 alpha-blended picture, each moved every frame by this
-- updater with its own velocity and bouncing off the edges of the 1024x768 screen.
-- Bunnymark/Settings.lua (written by the benchmark script) gives Bench.count,
-- Bench.frames and Bench.textures; after that many frames the game quits. With two
-- textures every other bunny shows a second picture of the same size.
GameStateSystem():RunScript('Bunnymark/Settings.lua')

local count = Bench.count
local frameLimit = Bench.frames
local pictures = { 'Textures/Bunny.png', 'Textures/BunnyTwo.png' }
local textures = Bench.textures or 1
local step = 1 / 60
local X, Y, VX, VY, S = {}, {}, {}, {}, {}
local frames = 0
local seed = 12345

local function random()
  seed = (seed * 16807) % 2147483647
  return seed / 2147483647
end

for i = 1, count do
  X[i] = random() * 992
  Y[i] = random() * 736
  VX[i] = random() * 480 - 240
  VY[i] = random() * 480 - 240
  local sprite = Sprite()
  sprite:SetName('Bunny' .. i)
  sprite:SetTexture(pictures[(i - 1) % textures + 1])
  sprite:SetFullTextureRect()
  sprite:SetPosition(X[i], Y[i])
  sprite:Show()
  S[i] = sprite
end

function BunnyFrame()
  for i = 1, count do
    local x, y = X[i] + VX[i] * step, Y[i] + VY[i] * step
    if x < 0 then x = -x; VX[i] = -VX[i] elseif x > 992 then x = 1984 - x; VX[i] = -VX[i] end
    if y < 0 then y = -y; VY[i] = -VY[i] elseif y > 736 then y = 1472 - y; VY[i] = -VY[i] end
    X[i], Y[i] = x, y
    S[i]:SetPosition(x, y)
  end
  frames = frames + 1
  if frames >= frameLimit then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('BunnyFrame')
