-- The effects benchmark scenes. Effects/Settings.lua (written by the benchmark script)
-- gives Bench.scene, Bench.count and Bench.frames; after that many frames the game quits.
--   "particles": Bench.count particle systems of up to 500 particles each, spread over
--                the screen, all from one description and one 16x16 picture.
--   "mesh":      one distortion mesh of Bench.count x Bench.count cells over the whole
--                screen, every node moved every frame by a travelling wave.
GameStateSystem():RunScript('Effects/Settings.lua')

local frames = 0
local Frame

if Bench.scene == 'particles' then
  local spark = Sprite()
  spark:SetName('Spark')
  spark:SetTexture('Textures/Spark.png')
  spark:SetFullTextureRect()
  spark:SetHotSpot(8, 8)
  -- Kept in a global: a script object nothing refers to is collected, and its system with it.
  Systems = {}
  for i = 1, Bench.count do
    local p = ParticleSystem()
    p:Load('Effects/Bench.psi')
    p:SetSprite('Spark')
    p:MoveTo(64 + (i * 97) % 896, 64 + (i * 61) % 640)
    p:Show()
    Systems[i] = p
  end
  Frame = function() end
else
  -- A sine table by its series, for scripts have no maths library.
  local wave = {}
  for k = 0, 63 do
    local a = (k / 64) * 6.2831853 - 3.1415927
    local a2 = a * a
    wave[k] = -(a * (1 - a2 / 6 * (1 - a2 / 20 * (1 - a2 / 42 * (1 - a2 / 72 * (1 - a2 / 110))))))
  end
  local cells = Bench.count
  local mesh = DistortionMesh()
  mesh:SetName('Bench.Mesh')
  mesh:SetupMesh(cells + 1, cells + 1)
  mesh:SetTexture('Textures/GameBackground.png')
  mesh:SetTextureRect(0, 0, 1024, 768)
  mesh:Show()
  Frame = function()
    for row = 0, cells do
      local dy = wave[(frames + row) % 64] * 6
      for column = 0, cells do
        mesh:SetDisplacement(column, row, wave[(frames + column * 3) % 64] * 6, dy, 0)
      end
    end
  end
end

function EffectsFrame()
  Frame()
  frames = frames + 1
  if frames >= Bench.frames then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('EffectsFrame')
