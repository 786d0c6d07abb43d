-- The game: balls bouncing over a tiled field. A play scores one point per bounce;
-- the best score is kept in the player's profile and the number of plays in a saved
-- property, so both outlive the run.
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

for i = 1, Play.count do
  local x, y = 60 * i, 40 + 70 * i
  local sprite = Game.MakeSprite('Game.Ball' .. i, 'Textures/Ball.png', x, y, 10 + i)
  Play.balls[i] = Game.Mover(sprite, x, y, 70 + 23 * i, 160 - 31 * i, 64, 64)
end

function Play.OnFrame(dt)
  Play.frames = Play.frames + 1
  local step = Game.Step(dt)
  for i = 1, Play.count do
    Play.score = Play.score + Game.Move(Play.balls[i], step)
  end
  if Play.score > Play.best then
    Play.best = Play.score
    Play.profiles:SetTotalScores(Play.player, Play.best)
  end
  if Settings.quitAfterFrames > 0 and Play.frames >= Settings.quitAfterFrames then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('Play.OnFrame')
