-- The menu: a title over the night sky, a paragraph of wrapped text and a ball that
-- drifts; after a while the game starts on its own.
Menu = { frames = 0 }
Menu.background = Game.MakeSprite('Menu.Background', 'Textures/MenuBackground.png', 0, 0, 0)
Menu.title = Game.MakeSprite('Menu.Title', 'Textures/Title.png', 256, 120, 10)
GameStateSystem():RunScript('Scripts/Text.lua')
Menu.font = DemoText.Font()
Menu.heading = DemoText.Line('NIGHT  BALLS', 420, 173, 15, 255, 225, 120)
Menu.paragraph = DemoText.Block('Balls drift under a violet sky. This paragraph is laid out by a text ' ..
  'rectangle: its words wrap at the width of the box, each line is centred, and the block sits ' ..
  'in the middle of its height. The game starts in a moment.', 192, 290, 640, 240, 15)
Menu.ball = Game.Mover(Game.MakeSprite('Menu.Ball', 'Textures/Ball.png', 480, 400, 20), 480, 400, 90, -60, 64, 64)

function Menu.OnFrame(dt)
  Menu.frames = Menu.frames + 1
  Game.Move(Menu.ball, Game.Step(dt))
  if Menu.frames == Settings.menuFrames then
    GameStateSystem():ChangeState('game')
  end
end

GameStateSystem():SetUpdaterFunctionName('Menu.OnFrame')
