-- AUDIO_COUNT copies of one looping effect (AUDIO_SOUND, a WAV file) play at once for
-- AUDIO_SECONDS of real time; frames are paced to about 60 a second, as Keldry paces them.
local count = tonumber(os.getenv("AUDIO_COUNT"))
local seconds = tonumber(os.getenv("AUDIO_SECONDS"))
local elapsed = 0
local sources = {}

function love.load()
  local file = io.open(os.getenv("AUDIO_SOUND"), "rb")
  local bytes = file:read("*a")
  file:close()
  local data = love.sound.newSoundData(love.filesystem.newFileData(bytes, "effect.wav"))
  local source = love.audio.newSource(data, "static")
  source:setLooping(true)
  for i = 1, count do
    sources[i] = source:clone()
    sources[i]:play()
  end
end

function love.update(dt)
  elapsed = elapsed + dt
  if elapsed >= seconds then
    love.event.quit()
  end
end

function love.draw()
end

local frameStart = love.timer.getTime()
function love.run()
  love.load()
  love.timer.step()
  return function()
    love.event.pump()
    for name, a in love.event.poll() do
      if name == "quit" then return 0 end
    end
    local dt = love.timer.step()
    love.update(dt)
    love.graphics.origin()
    love.graphics.clear(0, 0, 0)
    love.draw()
    love.graphics.present()
    local left = 1 / 60 - (love.timer.getTime() - frameStart)
    if left > 0 then love.timer.sleep(left) end
    frameStart = love.timer.getTime()
  end
end
