-- N sprites switching every frame through the eight quads of one sheet, each drawn
-- over its shadow at twice the size, standing still; CHARACTER_FRAMES frames, then the
-- screen is read back and the program ends. The same scene as the Keldry benchmark.
local readBackAndQuit = dofile(love.filesystem.getSource() .. "/../../lib/love-read-back.lua")
local count = tonumber(os.getenv("CHARACTER_COUNT") or "1000")
local frameLimit = tonumber(os.getenv("CHARACTER_FRAMES") or "300")
local folder = os.getenv("CHARACTER_PICTURES")
local sheet, shadow, shadowQuad
local quads = {}
local X, Y = {}, {}
local frames = 0
local seed = 12345

local function random()
  seed = (seed * 16807) % 2147483647
  return seed / 2147483647
end

local function image(name)
  local file = assert(io.open(folder .. "/" .. name, "rb"))
  local bytes = file:read("*a")
  file:close()
  return love.graphics.newImage(love.filesystem.newFileData(bytes, name))
end

function love.load()
  sheet = image("HeroRun.png")
  shadow = image("HeroShadow.png")
  for f = 0, 7 do
    quads[f] = love.graphics.newQuad(32 * f, 0, 32, 48, sheet:getDimensions())
  end
  shadowQuad = love.graphics.newQuad(0, 0, 32, 12, shadow:getDimensions())
  for i = 1, count do
    X[i] = random() * 960
    Y[i] = random() * 680
  end
end

function love.draw()
  local quad = quads[frames % 8]
  for i = 1, count do
    love.graphics.draw(shadow, shadowQuad, X[i], Y[i] + 72, 0, 2, 2)
  end
  for i = 1, count do
    love.graphics.draw(sheet, quad, X[i], Y[i])
  end
  frames = frames + 1
  if frames == frameLimit then
    readBackAndQuit("CHARACTER_SNAPSHOT")
  end
end
