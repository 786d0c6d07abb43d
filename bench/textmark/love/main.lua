-- A screen of text: TEXT_COUNT texts of 40 characters printed every frame with an image
-- font made from the Keldry demo's glyph picture, each text changed every frame;
-- TEXT_FRAMES frames, then the screen is read back and the program ends. The same
-- scene as the Keldry text benchmark (character spacing 2, as its text objects).
local readBackAndQuit = dofile(love.filesystem.getSource() .. "/../../lib/love-read-back.lua")
local count = tonumber(os.getenv("TEXT_COUNT") or "200")
local frameLimit = tonumber(os.getenv("TEXT_FRAMES") or "300")
local characters = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,!?'-:"
local letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
local texts = {}
for k = 1, 62 do
  texts[k] = string.sub(letters .. letters, k, k + 39)
end
local font
local frames = 0

-- The same 62 texts as the Keldry scene, looked up the same way.
local function TextOf(i, f)
  return texts[(i * 7 + f) % 62 + 1]
end

function love.load()
  local file = assert(io.open(os.getenv("TEXT_FONT_IMAGE"), "rb"))
  local bytes = file:read("*a")
  file:close()
  local data = love.image.newImageData(love.filesystem.newFileData(bytes, "font.png"))
  font = love.graphics.newImageFont(data, characters, 2)
  love.graphics.setFont(font)
end

function love.draw()
  frames = frames + 1
  for i = 1, count do
    love.graphics.print(TextOf(i, frames), ((i - 1) % 2) * 340, ((i - 1) - (i - 1) % 2) / 2 * 768 / (count / 2))
  end
  if frames == frameLimit then
    readBackAndQuit("TEXT_SNAPSHOT")
  end
end
