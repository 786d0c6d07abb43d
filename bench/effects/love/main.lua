-- The Keldry effects benchmark's scenes in LÖVE 11.4 (EFFECT_SCENE, EFFECT_COUNT,
-- EFFECT_FRAMES): the same pictures, counts, lifetimes and motion. After the frames the
-- screen is read back and the program ends.
local readBackAndQuit = dofile(love.filesystem.getSource() .. "/../../lib/love-read-back.lua")
local scene = os.getenv("EFFECT_SCENE") or "particles"
local count = tonumber(os.getenv("EFFECT_COUNT") or "200")
local frameLimit = tonumber(os.getenv("EFFECT_FRAMES") or "300")
local step = 1 / 60
local frames = 0
local systems, mesh, wave = {}, nil, {}

local function loadImage(path)
  local file = assert(io.open(path, "rb"))
  local bytes = file:read("*a")
  file:close()
  return love.graphics.newImage(love.filesystem.newFileData(bytes, "picture.png"))
end

function love.load()
  if scene == "particles" then
    local spark = loadImage(os.getenv("EFFECT_SPARK"))
    for i = 1, count do
      -- As the description file: 500 a second, lives of 2 s, so each system stays full.
      local p = love.graphics.newParticleSystem(spark, 500)
      p:setEmissionRate(500)
      p:setEmitterLifetime(-1)
      p:setParticleLifetime(2, 2)
      p:setDirection(-math.pi / 2)
      p:setSpread(2 * math.pi)
      p:setSpeed(20, 60)
      p:setLinearAcceleration(0, 10, 0, 20)
      p:setSizes(1, 0.5)
      p:setSpin(0, 2)
      p:setColors(1, 0.8, 0.3, 1, 1, 0.2, 0.1, 0)
      p:setPosition(64 + (i * 97) % 896, 64 + (i * 61) % 640)
      p:start()
      systems[i] = p
    end
  else
    for k = 0, 63 do
      local a = (k / 64) * 6.2831853 - 3.1415927
      local a2 = a * a
      wave[k] = -(a * (1 - a2 / 6 * (1 - a2 / 20 * (1 - a2 / 42 * (1 - a2 / 72 * (1 - a2 / 110))))))
    end
    local image = loadImage(os.getenv("EFFECT_FIELD"))
    local n = count + 1
    local vertices, map = {}, {}
    for row = 0, count do
      for column = 0, count do
        vertices[#vertices + 1] = {column * 1024 / count, row * 768 / count, column / count, row / count}
      end
    end
    for row = 0, count - 1 do
      for column = 0, count - 1 do
        local a = row * n + column + 1
        local b, c, d = a + 1, a + n + 1, a + n
        for _, v in ipairs({a, b, c, a, c, d}) do map[#map + 1] = v end
      end
    end
    mesh = love.graphics.newMesh(vertices, "triangles", "stream")
    mesh:setVertexMap(map)
    mesh:setTexture(image)
  end
end

function love.update()
  if scene == "particles" then
    for i = 1, count do systems[i]:update(step) end
  else
    local n = count + 1
    for row = 0, count do
      local dy = wave[(frames + row) % 64] * 6
      for column = 0, count do
        mesh:setVertexAttribute(row * n + column + 1, 1, column * 1024 / count + wave[(frames + column * 3) % 64] * 6,
                                row * 768 / count + dy)
      end
    end
  end
end

function love.draw()
  if scene == "particles" then
    for i = 1, count do love.graphics.draw(systems[i]) end
  else
    love.graphics.draw(mesh)
  end
  frames = frames + 1
  if frames == frameLimit then
    readBackAndQuit("EFFECT_SNAPSHOT")
  end
end
