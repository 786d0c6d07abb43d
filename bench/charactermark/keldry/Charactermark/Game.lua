-- N character animations of eight looping frames cut from one sheet, each with its
-- shadow, standing still on a 1024x768 screen. Charactermark/Settings.lua (written by
-- the benchmark script) gives Bench.count and Bench.frames; after that many frames
-- the game quits.
GameStateSystem():RunScript('Charactermark/Settings.lua')

local count = Bench.count
local frameLimit = Bench.frames
local frames = 0
local seed = 12345
-- Global: the script objects own their animations.
Characters = {}

local function random()
  seed = (seed * 16807) % 2147483647
  return seed / 2147483647
end

for i = 1, count do
  local c = CharacterAnimation()
  c:BeginAnimationState('run')
  for f = 0, 7 do
    c:AddFrame(0, 0, 0, 0, 'Textures/HeroRun.png', 32 * f, 0, 32, 48, 'Textures/HeroRunAlpha.png')
  end
  c:AddFrameShadow(0, 36, 0, 0, 'Textures/HeroShadow.png', 0, 0, 32, 12)
  c:EndAnimationState()
  c:SetPosition(random() * 960, random() * 680)
  c:Show()
  -- Two updates of half a frame each per 1/60 s frame: one new frame a frame.
  c:Play(1)
  Characters[i] = c
end

function CharacterFrame()
  frames = frames + 1
  if frames >= frameLimit then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('CharacterFrame')
