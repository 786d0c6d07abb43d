-- The game-API script: every state except "system" runs it before its own script, in
-- its own interpreter. Scripts have no Lua standard library (no print, pairs, string,
-- math, table ...), so the game's own helpers live here.
GameStateSystem():RunScript('Scripts/Settings.lua')

Helpers = {}

local math = MathSystem()

function Helpers.Abs(x)
  if x < 0 then return -x end
  return x
end

function Helpers.Clamp(x, low, high)
  if x < low then return low end
  if x > high then return high end
  return x
end

function Helpers.Length(dx, dy)
  return math:Sqrt(dx * dx + dy * dy)
end

-- A visible sprite showing a whole picture. Keep what it returns in a table that
-- lives on: an object held only in a local is collected after the script text that
-- made it has run, and its sprite goes with it.
function Helpers.MakeSprite(name, texture, x, y, priority)
  local sprite = Sprite()
  sprite:SetName(name)
  sprite:SetTexture(texture)
  -- Without a texture rectangle a sprite shows nothing.
  sprite:SetFullTextureRect()
  sprite:SetPosition(x, y)
  sprite:SetPriority(priority)
  sprite:Show()
  return sprite
end
