-- The menu: a title over the night sky and a ball that drifts, with its own music; after
-- a while the game starts on its own.
Menu = { frames = 0 }
Menu.background = Game.MakeSprite('Menu.Background', 'Textures/MenuBackground.png', 0, 0, 0)
Menu.title = Game.MakeSprite('Menu.Title', 'Textures/Title.png', 256, 120, 10)
Menu.ball = Game.Mover(Game.MakeSprite('Menu.Ball', 'Textures/Ball.png', 480, 400, 20), 480, 400, 90, -60, 64, 64)

Game.PlayMusic('Music/Menu.ogg')

function Menu.OnFrame(dt)
  Menu.frames = Menu.frames + 1
  if Game.Move(Menu.ball, Game.Step(dt)) then
    Game.Effect('Sounds/Bounce.wav')
  end
  if Menu.frames == Settings.menuFrames then
    GameStateSystem():ChangeState('game')
  end
end

GameStateSystem():SetUpdaterFunctionName('Menu.OnFrame')
