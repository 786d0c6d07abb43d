-- The menu: a title over the night sky, a ball that drifts, a "play" and a "quit"
-- button, a star that answers clicks on its own shape only, a name field that takes
-- typed letters, a paragraph of wrapped text, a short looping video and an animated
-- pointer, with its own music. After a while (or at Return) the game starts on its own.
Menu = { frames = 0, name = '', letters = {} }
Menu.background = Game.MakeSprite('Menu.Background', 'Textures/MenuBackground.png', 0, 0, 0)
Menu.title = Game.MakeSprite('Menu.Title', 'Textures/Title.png', 256, 120, 10)
GameStateSystem():RunScript('Scripts/Text.lua')
Menu.font = DemoText.Font()
Menu.heading = DemoText.Line('NIGHT  BALLS', 420, 173, 15, 255, 225, 120)
Menu.paragraph = DemoText.Block('Click PLAY or press Return to start, or click the star to turn it. In the ' ..
  'game the arrows steer a ball, a click sends the walker round the wall, P pauses, and Escape comes back here.',
  192, 570, 640, 180, 15)
Menu.ball = Game.Mover(Game.MakeSprite('Menu.Ball', 'Textures/Ball.png', 480, 400, 20), 480, 400, 90, -60, 64, 64)
Menu.gui = GUISystem()

-- A button over a sprite: lit while the pointer is over it, `onClick` on a click.
function Menu.MakeButton(name, texture, x, y, onClick)
  local sprite = Game.MakeSprite(name, texture, x, y, 30)
  local button = ButtonControl()
  button:SetPosition(x, y)
  button:SetSize(192, 64)
  button:RegisterAllActions("#Menu.Light('" .. name .. "', 1)", "#Menu.Light('" .. name .. "', 0)", onClick)
  return { sprite = sprite, button = button }
end

function Menu.Light(name, on)
  local b = Menu.buttons[name]
  if on == 1 then b.sprite:SetColor(255, 255, 160, 255) else b.sprite:SetColor(255, 255, 255, 255) end
end

Menu.buttons = {}
Menu.buttons['Menu.Play'] = Menu.MakeButton('Menu.Play', 'Textures/PlayButton.png', 416, 330, "#Menu.Play()")
Menu.buttons['Menu.Quit'] = Menu.MakeButton('Menu.Quit', 'Textures/QuitButton.png', 416, 410, "#GameStateSystem():Quit()")
Menu.labels = { DemoText.Line('PLAY', 482, 351, 31, 255, 255, 255), DemoText.Line('QUIT', 482, 431, 31, 255, 255, 255) }

-- The star: its button takes the star sprite's shape, texel by texel, so the pointer
-- lights it and a click sets it turning only on the star itself, not in the gaps
-- between its points. It turns about its centre, and the shape turns with it.
Menu.star = Game.MakeSprite('Menu.Star', 'Textures/Star.png', 208, 394, 30)
Menu.star:SetHotSpot(64, 64)
Menu.starSpin = 0
Menu.starAngle = 0
Menu.starButton = ButtonControl()
Menu.starButton:SetCollisionSprite('Menu.Star')
Menu.starButton:RegisterAllActions('#Menu.star:SetColor(255, 255, 200, 255)', '#Menu.star:SetColor(255, 255, 255, 255)',
  '#Menu.starSpin = 1 - Menu.starSpin')

-- The name field: each typed letter adds a block; Backspace (8) takes one away.
Menu.field = Game.MakeSprite('Menu.NameField', 'Textures/NameField.png', 352, 500, 30)
Menu.edit = EditBoxControl()
Menu.edit:RegisterAction(1, '#Menu.Typed()')
Menu.edit:Enable()

function Menu.Typed()
  local c = Menu.edit:GetLastKeyCharValue()
  local count = #Menu.letters
  if c == 13 then
    Menu.Play()
  elseif c == 8 then
    if count > 0 then
      Menu.letters[count]:Hide()
      Menu.letters[count] = nil
    end
  elseif c >= 32 and count < 24 then
    local letter = Game.MakeSprite('Menu.Letter' .. (count + 1), 'Textures/Letter.png', 364 + 12 * count, 512, 31)
    Menu.letters[count + 1] = letter
  end
end

function Menu.Play()
  GameStateSystem():ChangeState('game')
end

-- The pointer is set up once the menu is shown: the loading screen swaps in its own
-- pointer while a state loads, which ends any animation.
Menu.pointer = Game.MakeSprite('Menu.Pointer', 'Textures/Cursor.png', 0, 0, 0)
Menu.pointer:SetTextureRect(0, 0, 32, 32)
Menu.pointer:Hide()

-- Controls: Return starts the game at once. The name field takes the keys that type
-- a character while it is active, Return among them, so it answers Return too.
-- Bindings are one set for the whole game and run in whichever state is current, so
-- the menu starts from none: the game's keys would call functions only it defines.
Menu.input = InputDeviceManager()
Menu.input:Clear()
Menu.input:RegisterKeyboardAction('Return', '', "#GameStateSystem():ChangeState('game')", '')

Game.PlayMusic('Music/Menu.ogg')

-- Videos are read from disk relative to the game's folder, not from the packs.
Menu.video = SpriteVideo()
Menu.video:SetName('Menu.Video')
Menu.video:SetVideoFile('Base/Videos/Intro.ogv')
Menu.video:SetPosition(848, 616)
Menu.video:SetPriority(30)
Menu.video:SetLoop(1)
Menu.video:Show()
Menu.video:Play()

function Menu.OnFrame(dt)
  Menu.frames = Menu.frames + 1
  if Menu.frames == 1 then
    Menu.gui:SetCursor('Menu.Pointer')
    Menu.gui:CursorSetNumAnimatedFrames(4)
    Menu.gui:CursorSetAnimationSpeed(2)
    Menu.gui:CursorPlay()
    Menu.gui:ShowCursor()
  end
  local step = Game.Step(dt)
  if Menu.starSpin == 1 then
    Menu.starAngle = (Menu.starAngle + 2 * step) % 6.2831853
    Menu.star:SetRotation(Menu.starAngle)
  end
  if Game.Move(Menu.ball, step) > 0 then
    Game.Effect('Sounds/Bounce.wav')
  end
  if Menu.frames == Settings.menuFrames then
    GameStateSystem():ChangeState('game')
  end
end

GameStateSystem():SetUpdaterFunctionName('Menu.OnFrame')
