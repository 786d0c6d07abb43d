-- The game: balls bouncing over a tiled field under a waving banner; a ball that hits
-- an edge throws sparks. A play scores one point per bounce; the best score is kept in
-- the player's profile and the number of plays in a saved property, so both outlive
-- the run. Its music takes over from the menu's with a fade; the first ball blips
-- when it bounces. P pauses: the screen as it stands is captured, blurred and laid
-- over everything, dimmed, under the word PAUSED; P again takes it away and play goes on.
Play = { frames = 0, count = 8, balls = {}, score = 0 }
Play.profiles = ProfileSystem()
Play.player = Play.profiles:GetSelectedProfileId()
Play.best = Play.profiles:GetTotalScores(Play.player)
Play.properties = PropertySystem()
Play.properties:LoadProperty()
Play.plays = 0
if Play.properties:IsExist('Demo.Plays') == 1 then
  Play.plays = Play.properties:GetValue('Demo.Plays')
end
Play.properties:SetValue('Demo.Plays', Play.plays + 1)
Debugger():ShowValue('Demo.Plays', Play.plays)
Debugger():ShowValue('Demo.BestScore', Play.best)
Play.background = Game.MakeSprite('Game.Background', 'Textures/GameBackground.png', 0, 0, 0)

-- The particles' picture; the sprite itself is never shown.
Play.spark = Game.MakeSprite('Game.Spark', 'Textures/Spark.png', 0, 0, 0)
Play.spark:SetHotSpot(8, 8)
Play.spark:Hide()

for i = 1, Play.count do
  local x, y = 60 * i, 40 + 70 * i
  local sprite = Game.MakeSprite('Game.Ball' .. i, 'Textures/Ball.png', x, y, 10 + i)
  Play.balls[i] = Game.Mover(sprite, x, y, 70 + 23 * i, 160 - 31 * i, 64, 64)
  -- One emitter per ball: the first load takes the stored system, the others clone it.
  local sparks = ParticleSystem()
  sparks:Load('Particles/Sparks.psi')
  sparks:SetSprite('Game.Spark')
  Play.balls[i].sparks = sparks
end

-- The banner: a 16 x 4-cell mesh whose columns ride a travelling wave.
Play.flag = DistortionMesh()
Play.flag:SetName('Game.Flag')
Play.flag:SetupMesh(17, 5)
Play.flag:SetTexture('Textures/Title.png')
Play.flag:SetTextureRect(0, 0, 512, 128)
Play.flag:SetPosition(256, 24)
Play.flag:SetPriority(5)
Play.flag:Show()
Play.wave = { 0, 0.38, 0.71, 0.92, 1, 0.92, 0.71, 0.38, 0, -0.38, -0.71, -0.92, -1, -0.92, -0.71, -0.38 }

function Play.Wave()
  local phase = (Play.frames - Play.frames % 3) / 3
  for column = 0, 16 do
    -- The left edge is held still, as if fixed to a pole.
    local height = Play.wave[(phase + 15 * 16 - column) % 16 + 1] * column * 0.75
    for row = 0, 4 do
      Play.flag:SetDisplacement(column, row, 0, height, 0)
    end
  end
end

GameStateSystem():RunScript('Scripts/Hero.lua')
Hero.Start(160, 700)

GameStateSystem():RunScript('Scripts/Walker.lua')
Walker.Start(224, 416, { { x = 800, y = 416 }, { x = 224, y = 416 } })

-- Controls: the arrows send the first ball that way; Escape goes back to the menu.
-- Bindings outlast the state that makes them, so each state starts from none.
function Play.Steer(vx, vy)
  local ball = Play.balls[1]
  if vx ~= 0 then ball.vx = vx end
  if vy ~= 0 then ball.vy = vy end
end

Play.input = InputDeviceManager()
Play.input:Clear()
Play.input:RegisterKeyboardAction('Left', '', '#Play.Steer(-300, 0)', '')
Play.input:RegisterKeyboardAction('Right', '', '#Play.Steer(300, 0)', '')
Play.input:RegisterKeyboardAction('Up', '', '#Play.Steer(0, -300)', '')
Play.input:RegisterKeyboardAction('Down', '', '#Play.Steer(0, 300)', '')
Play.input:RegisterKeyboardAction('Escape', '', "#GameStateSystem():ChangeState('menu')", '')
Play.input:RegisterKeyboardAction('P', '', '#Play.TogglePause()', '')
-- A click sends the walker there.
Play.input:RegisterMouseAction('LeftButton', '',
  '#local x, y = InputDeviceManager():GetMousePosition() Walker.OnClick(x, y)', '')

Game.PlayMusic('Music/Game.ogg')

-- The pause overlay: a half-size capture of the screen (1024 x 768 becomes 512 x 384,
-- the rows the blur covers), blurred, shown at full size above everything else.
GameStateSystem():RunScript('Scripts/Text.lua')
Play.paused = false
Play.shot = Sprite()
Play.shot:SetName('Game.PauseShot')
Play.shot:SetPriority(200)
Play.shot:SetColor(170, 170, 200, 255)
Play.pausedText = nil

function Play.TogglePause()
  Play.paused = not Play.paused
  if Play.paused then
    -- Captured before the overlay shows, so it holds only the game.
    Play.shot:Hide()
    Play.shot:SetScreenBufferTexture(0.5, 0.5)
    Play.shot:BlurTexture(3)
    Play.shot:Show()
    if Play.pausedText == nil then
      Play.font = DemoText.Font()
      Play.pausedText = DemoText.Line('PAUSED', 440, 360, 201, 255, 235, 140)
    end
    Play.pausedText:Show()
  else
    Play.shot:Hide()
    Play.pausedText:Hide()
  end
end

function Play.OnFrame(dt)
  if Play.paused then
    return
  end
  Play.frames = Play.frames + 1
  local step = Game.Step(dt)
  for i = 1, Play.count do
    local ball = Play.balls[i]
    local bounces = Game.Move(ball, step)
    if bounces > 0 then
      ball.sparks:MoveTo(ball.x + 32, ball.y + 32)
      ball.sparks:Show()
      Play.score = Play.score + bounces
      if i == 1 then
        Game.Effect('Sounds/Bounce.wav')
      end
    end
  end
  if Play.score > Play.best then
    Play.best = Play.score
    Play.profiles:SetTotalScores(Play.player, Play.best)
  end
  Walker.Update(step)
  Play.Wave()
  if Settings.quitAfterFrames > 0 and Play.frames >= Settings.quitAfterFrames then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('Play.OnFrame')
