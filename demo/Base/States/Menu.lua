-- The menu: a title over the night sky, a ball that drifts and a short looping video;
-- after a while the game starts on its own.
Menu = { frames = 0 }
Menu.background = Game.MakeSprite('Menu.Background', 'Textures/MenuBackground.png', 0, 0, 0)
Menu.title = Game.MakeSprite('Menu.Title', 'Textures/Title.png', 256, 120, 10)
Menu.ball = Game.Mover(Game.MakeSprite('Menu.Ball', 'Textures/Ball.png', 480, 400, 20), 480, 400, 90, -60, 64, 64)

-- Videos are read from disk relative to the game's folder, not from the packs.
Menu.video = SpriteVideo()
Menu.video:SetName('Menu.Video')
Menu.video:SetVideoFile('Base/Videos/Intro.ogv')
Menu.video:SetPosition(32, 616)
Menu.video:SetPriority(30)
Menu.video:SetLoop(1)
Menu.video:Show()
Menu.video:Play()

function Menu.OnFrame(dt)
  Menu.frames = Menu.frames + 1
  Game.Move(Menu.ball, Game.Step(dt))
  if Menu.frames == Settings.menuFrames then
    GameStateSystem():ChangeState('game')
  end
end

GameStateSystem():SetUpdaterFunctionName('Menu.OnFrame')
