-- The audio calls of one frame (each stream's state and volume, one effect started and
-- stopped) timed over 2000 frames 2 ms apart, with AUDIO_STREAMS looping streams of
-- AUDIO_OGG playing. Prints the mean and the slowest frame in microseconds.
local streams = tonumber(os.getenv("AUDIO_STREAMS"))

function love.run()
  local function load(path)
    local file = io.open(path, "rb")
    local bytes = file:read("*a")
    file:close()
    return love.filesystem.newFileData(bytes, path:match("[^/]*$"))
  end
  local sources = {}
  for i = 1, streams do
    sources[i] = love.audio.newSource(love.sound.newDecoder(load(os.getenv("AUDIO_OGG"))), "stream")
    sources[i]:setLooping(true)
    sources[i]:play()
  end
  local effect = love.audio.newSource(love.sound.newSoundData(load(os.getenv("AUDIO_WAV"))), "static")
  local total, slowest, volume = 0, 0, 0
  for frame = 1, 2000 do
    local start = love.timer.getTime()
    for i = 1, streams do
      local playing = sources[i]:isPlaying()
      sources[i]:setVolume((50 + volume % 32) / 100)
      volume = volume + 1
    end
    local copy = effect:clone()
    copy:play()
    copy:stop()
    local us = (love.timer.getTime() - start) * 1e6
    total = total + us
    if us > slowest then slowest = us end
    love.timer.sleep(0.002)
  end
  io.write(string.format("%.3f %.3f\n", total / 2000, slowest))
  return function() return 0 end
end
