-- The game: balls bouncing over a tiled field.
Play = { frames = 0, count = 8, balls = {} }
Play.background = Game.MakeSprite('Game.Background', 'Textures/GameBackground.png', 0, 0, 0)

for i = 1, Play.count do
  local x, y = 60 * i, 40 + 70 * i
  local sprite = Game.MakeSprite('Game.Ball' .. i, 'Textures/Ball.png', x, y, 10 + i)
  Play.balls[i] = Game.Mover(sprite, x, y, 70 + 23 * i, 160 - 31 * i, 64, 64)
end

GameStateSystem():RunScript('Scripts/Hero.lua')
Hero.Start(160, 700)

GameStateSystem():RunScript('Scripts/Walker.lua')
Walker.Start(224, 416, { { x = 800, y = 416 }, { x = 224, y = 416 } })

-- Controls: the arrows send the first ball that way; Escape goes back to the menu.
-- A binding's texts run in the state that made it, and only while it is current.
function Play.Steer(vx, vy)
  local ball = Play.balls[1]
  if vx ~= 0 then ball.vx = vx end
  if vy ~= 0 then ball.vy = vy end
end

Play.input = InputDeviceManager()
Play.input:RegisterKeyboardAction('Left', '', '#Play.Steer(-300, 0)', '')
Play.input:RegisterKeyboardAction('Right', '', '#Play.Steer(300, 0)', '')
Play.input:RegisterKeyboardAction('Up', '', '#Play.Steer(0, -300)', '')
Play.input:RegisterKeyboardAction('Down', '', '#Play.Steer(0, 300)', '')
Play.input:RegisterKeyboardAction('Escape', '', "#GameStateSystem():ChangeState('menu')", '')
-- A click sends the walker there.
Play.input:RegisterMouseAction('LeftButton', '',
  '#local x, y = InputDeviceManager():GetMousePosition() Walker.OnClick(x, y)', '')

function Play.OnFrame(dt)
  Play.frames = Play.frames + 1
  local step = Game.Step(dt)
  for i = 1, Play.count do
    Game.Move(Play.balls[i], step)
  end
  Walker.Update(step)
  if Settings.quitAfterFrames > 0 and Play.frames >= Settings.quitAfterFrames then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('Play.OnFrame')
