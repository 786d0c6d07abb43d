-- N bunnies of one 32x32 alpha-blended picture, each moved every frame with its own
-- velocity and bouncing off the edges; BUNNY_FRAMES frames, then the screen is read
-- back and the program ends. With BUNNY_IMAGE2 every other bunny shows that picture.
-- The same scene as the Keldry bunnymark.
local readBackAndQuit = dofile(love.filesystem.getSource() .. "/../../lib/love-read-back.lua")
local count = tonumber(os.getenv("BUNNY_COUNT") or "10000")
local frameLimit = tonumber(os.getenv("BUNNY_FRAMES") or "300")
local step = 1 / 60
local images = {}
local X, Y, VX, VY = {}, {}, {}, {}
local frames = 0
local seed = 12345

local function random()
  seed = (seed * 16807) % 2147483647
  return seed / 2147483647
end

local function loadImage(path)
  local file = assert(io.open(path, "rb"))
  local bytes = file:read("*a")
  file:close()
  return love.graphics.newImage(love.filesystem.newFileData(bytes, "bunny.png"))
end

function love.load()
  images[1] = loadImage(os.getenv("BUNNY_IMAGE"))
  images[2] = os.getenv("BUNNY_IMAGE2") and loadImage(os.getenv("BUNNY_IMAGE2")) or images[1]
  for i = 1, count do
    X[i] = random() * 992
    Y[i] = random() * 736
    VX[i] = random() * 480 - 240
    VY[i] = random() * 480 - 240
  end
end

function love.update()
  for i = 1, count do
    local x, y = X[i] + VX[i] * step, Y[i] + VY[i] * step
    if x < 0 then x = -x; VX[i] = -VX[i] elseif x > 992 then x = 1984 - x; VX[i] = -VX[i] end
    if y < 0 then y = -y; VY[i] = -VY[i] elseif y > 736 then y = 1472 - y; VY[i] = -VY[i] end
    X[i], Y[i] = x, y
  end
end

function love.draw()
  for i = 1, count do
    love.graphics.draw(images[(i - 1) % 2 + 1], X[i], Y[i])
  end
  frames = frames + 1
  if frames == frameLimit then
    readBackAndQuit("BUNNY_SNAPSHOT")
  end
end
