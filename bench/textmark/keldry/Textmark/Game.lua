-- A screen of text: Bench.count text objects of 40 characters in the demo's bitmap
-- font, the text of every object changed every frame. Textmark/Settings.lua (written
-- by the benchmark script) gives Bench.count and Bench.frames; after that many frames
-- the game quits.
GameStateSystem():RunScript('Textmark/Settings.lua')
GameStateSystem():RunScript('Fonts/DemoFont.lua')

local count = Bench.count
local frameLimit = Bench.frames
-- Scripts have no string library: the 62 texts, each the letters from a different
-- start, are built once by concatenation.
local letters = { 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q',
  'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l',
  'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', '0', '1', '2', '3', '4', '5', '6',
  '7', '8', '9' }
local texts = {}
for k = 1, 62 do
  local text = ''
  for j = 0, 39 do
    text = text .. letters[(k - 1 + j) % 62 + 1]
  end
  texts[k] = text
end
local T = {}
local frames = 0

local font = Font()
font:SetName('Fonts/Demo.bin')
font:SetAscii(DemoFont.characters)
font:SetTexture('Fonts/Demo.png')

-- The 40 characters object i shows in frame f.
local function TextOf(i, f)
  return texts[(i * 7 + f) % 62 + 1]
end

for i = 1, count do
  local text = Text()
  text:SetFont('Fonts/Demo.bin')
  text:SetPosition(((i - 1) % 2) * 340, ((i - 1) - (i - 1) % 2) / 2 * 768 / (count / 2))
  text:SetAsciiText(TextOf(i, 0))
  text:Show()
  T[i] = text
end

function TextFrame()
  frames = frames + 1
  for i = 1, count do
    T[i]:SetAsciiText(TextOf(i, frames))
  end
  if frames >= frameLimit then
    GameStateSystem():Quit()
  end
end

GameStateSystem():SetUpdaterFunctionName('TextFrame')
