-- AUDIO_COUNT copies of one looping effect (AUDIO_SOUND, a WAV file) play at once for
-- AUDIO_SECONDS of real time, the loop waking every 10 ms.
local count = tonumber(os.getenv("AUDIO_COUNT"))
local seconds = tonumber(os.getenv("AUDIO_SECONDS"))

function love.run()
  local file = io.open(os.getenv("AUDIO_SOUND"), "rb")
  local bytes = file:read("*a")
  file:close()
  local data = love.sound.newSoundData(love.filesystem.newFileData(bytes, "effect.wav"))
  local source = love.audio.newSource(data, "static")
  source:setLooping(true)
  local sources = {}
  for i = 1, count do
    sources[i] = source:clone()
    sources[i]:play()
  end
  local start = love.timer.getTime()
  return function()
    love.event.pump()
    for name in love.event.poll() do
      if name == "quit" then return 0 end
    end
    if love.timer.getTime() - start >= seconds then return 0 end
    love.timer.sleep(0.01)
  end
end
