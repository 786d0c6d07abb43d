-- N bunnies of one 32x32 alpha-blended picture, each moved every frame with its own
-- velocity and bouncing off the edges; BUNNY_FRAMES frames, then the screen is read
-- back and the program ends. The same scene as the Keldry bunnymark.
local readBackAndQuit = dofile(love.filesystem.getSource() .. "/../../lib/love-read-back.lua")
local count = tonumber(os.getenv("BUNNY_COUNT") or "10000")
local frameLimit = tonumber(os.getenv("BUNNY_FRAMES") or "300")
local step = 1 / 60
local image
local X, Y, VX, VY = {}, {}, {}, {}
local frames = 0
local seed = 12345

local function random()
  seed = (seed * 16807) % 2147483647
  return seed / 2147483647
end

function love.load()
  local file = assert(io.open(os.getenv("BUNNY_IMAGE"), "rb"))
  local bytes = file:read("*a")
  file:close()
  image = love.graphics.newImage(love.filesystem.newFileData(bytes, "bunny.png"))
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
    love.graphics.draw(image, X[i], Y[i])
  end
  frames = frames + 1
  if frames == frameLimit then
    readBackAndQuit("BUNNY_SNAPSHOT")
  end
end
