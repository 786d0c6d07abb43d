-- The menu: a title over the night sky and a ball that drifts; after a while (or at
-- Return or Space) the game starts.
Menu = { frames = 0 }
Menu.background = Game.MakeSprite('Menu.Background', 'Textures/MenuBackground.png', 0, 0, 0)
Menu.title = Game.MakeSprite('Menu.Title', 'Textures/Title.png', 256, 120, 10)
Menu.ball = Game.Mover(Game.MakeSprite('Menu.Ball', 'Textures/Ball.png', 480, 400, 20), 480, 400, 90, -60, 64, 64)

-- Controls: Return or Space starts the game at once.
Menu.input = InputDeviceManager()
Menu.input:RegisterKeyboardAction('Return', '', "#GameStateSystem():ChangeState('game')", '')
Menu.input:RegisterKeyboardAction('Space', '', "#GameStateSystem():ChangeState('game')", '')

function Menu.OnFrame(dt)
  Menu.frames = Menu.frames + 1
  Game.Move(Menu.ball, Game.Step(dt))
  if Menu.frames == Settings.menuFrames then
    GameStateSystem():ChangeState('game')
  end
end

GameStateSystem():SetUpdaterFunctionName('Menu.OnFrame')
