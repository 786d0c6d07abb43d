-- Bench.count copies of one looping effect play at once for Bench.seconds of real time;
-- then the game quits. Audiomark/Settings.lua is written by the benchmark script.
GameStateSystem():RunScript('Audiomark/Settings.lua')

Effect = Sound()
Effect:Load(Bench.sound)
for i = 1, Bench.count do
  Effect:Play(1)
end

local elapsed = 0
function AudioFrame(dt)
  elapsed = elapsed + dt
  if elapsed >= Bench.seconds then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('AudioFrame')
