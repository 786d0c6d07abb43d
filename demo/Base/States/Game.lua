-- The game: balls bouncing over a tiled field. Its music takes over from the menu's with
-- a fade; the first ball blips when it bounces.
Play = { frames = 0, count = 8, balls = {} }
Play.background = Game.MakeSprite('Game.Background', 'Textures/GameBackground.png', 0, 0, 0)

for i = 1, Play.count do
  local x, y = 60 * i, 40 + 70 * i
  local sprite = Game.MakeSprite('Game.Ball' .. i, 'Textures/Ball.png', x, y, 10 + i)
  Play.balls[i] = Game.Mover(sprite, x, y, 70 + 23 * i, 160 - 31 * i, 64, 64)
end

Game.PlayMusic('Music/Game.ogg')

function Play.OnFrame(dt)
  Play.frames = Play.frames + 1
  local step = Game.Step(dt)
  for i = 1, Play.count do
    if Game.Move(Play.balls[i], step) and i == 1 then
      Game.Effect('Sounds/Bounce.wav')
    end
  end
  if Settings.quitAfterFrames > 0 and Play.frames >= Settings.quitAfterFrames then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('Play.OnFrame')
