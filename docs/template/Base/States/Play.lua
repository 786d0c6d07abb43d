-- The state "game": a box that bounces around the screen; the arrow keys push it,
-- Escape quits.
Play = { frames = 0, x = 100, y = 100, vx = Settings.speed, vy = Settings.speed * 0.75 }

-- The field: a 32 x 32 picture stretched over the 1024 x 768 screen.
Play.field = Helpers.MakeSprite('Play.Field', 'Textures/Field.png', 0, 0, 0)
Play.field:SetHorizontalScale(32)
Play.field:SetVerticalScale(24)

Play.box = Helpers.MakeSprite('Play.Box', 'Textures/Box.png', Play.x, Play.y, 10)

-- The badge's picture comes from the pack Base/Packed.resources, made from the folder
-- Packed/ with Keldry-pack; in scripts a packed file has the same name as a loose one.
Play.badge = Helpers.MakeSprite('Play.Badge', 'Textures/Badge.png', 960, 16, 5)

-- Key texts start with '#': the rest is Lua, run in this state when the key goes down.
Play.input = InputDeviceManager()
Play.input:RegisterKeyboardAction('Left', '', '#Play.Push(-1, 0)', '')
Play.input:RegisterKeyboardAction('Right', '', '#Play.Push(1, 0)', '')
Play.input:RegisterKeyboardAction('Up', '', '#Play.Push(0, -1)', '')
Play.input:RegisterKeyboardAction('Down', '', '#Play.Push(0, 1)', '')
Play.input:RegisterKeyboardAction('Escape', '', '#GameStateSystem():Quit()', '')

function Play.Push(dx, dy)
  if dx ~= 0 then Play.vx = dx * Helpers.Abs(Play.vx) end
  if dy ~= 0 then Play.vy = dy * Helpers.Abs(Play.vy) end
end

-- Called every frame with the frame time in seconds.
function Play.OnFrame(dt)
  Play.frames = Play.frames + 1
  Play.x = Play.x + Play.vx * dt
  Play.y = Play.y + Play.vy * dt
  if Play.x < 0 or Play.x > 1024 - 64 then Play.vx = -Play.vx end
  if Play.y < 0 or Play.y > 768 - 64 then Play.vy = -Play.vy end
  Play.x = Helpers.Clamp(Play.x, 0, 1024 - 64)
  Play.y = Helpers.Clamp(Play.y, 0, 768 - 64)
  Play.box:SetPosition(Play.x, Play.y)
  if Settings.quitAfterFrames > 0 and Play.frames >= Settings.quitAfterFrames then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('Play.OnFrame')
