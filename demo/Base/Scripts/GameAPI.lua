-- Runs in every game state before the state's own script.
GameStateSystem():RunScript('Scripts/Settings.lua')

Game = {}

function Game.MakeSprite(name, texture, x, y, priority)
  local sprite = Sprite()
  sprite:SetName(name)
  sprite:SetTexture(texture)
  sprite:SetFullTextureRect()
  sprite:SetPosition(x, y)
  sprite:SetPriority(priority)
  sprite:Show()
  return sprite
end

function Game.Step(dt)
  if Settings.fixedStep > 0 then
    return Settings.fixedStep
  end
  return dt
end

-- A thing that moves in a straight line and bounces off the edges of the area.
function Game.Mover(sprite, x, y, vx, vy, width, height)
  return { sprite = sprite, x = x, y = y, vx = vx, vy = vy, right = 1024 - width, bottom = 768 - height }
end

-- Returns how many edges the thing bounced off in this step.
function Game.Move(m, step)
  local bounces = 0
  m.x = m.x + m.vx * step
  m.y = m.y + m.vy * step
  if m.x < 0 then m.x = -m.x; m.vx = -m.vx; bounces = bounces + 1 end
  if m.x > m.right then m.x = 2 * m.right - m.x; m.vx = -m.vx; bounces = bounces + 1 end
  if m.y < 0 then m.y = -m.y; m.vy = -m.vy; bounces = bounces + 1 end
  if m.y > m.bottom then m.y = 2 * m.bottom - m.y; m.vy = -m.vy; bounces = bounces + 1 end
  m.sprite:SetPosition(m.x, m.y)
  return bounces
end

-- Starts a music loop. Music streams take part in the music change: the one playing
-- before fades out over two seconds while this one starts. The object may be a local:
-- the music plays on after it is collected.
function Game.PlayMusic(file)
  local music = SoundStream()
  music:Load(file)
  music:SetIsMusic(1)
  music:Play(1)
end

-- A sound effect, loaded once per state; each call plays it again over the last one.
function Game.Effect(file)
  Game.effects = Game.effects or {}
  local sound = Game.effects[file]
  if not sound then
    sound = Sound()
    sound:Load(file)
    Game.effects[file] = sound
  end
  sound:Play(0)
end
