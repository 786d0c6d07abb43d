-- Text in the demo's own bitmap font (Fonts/Demo.png, its glyph table Fonts/Demo.bin).
GameStateSystem():RunScript('Fonts/DemoFont.lua')

DemoText = {}

function DemoText.Font()
  local font = Font()
  font:SetName('Fonts/Demo.bin')
  font:SetAscii(DemoFont.characters)
  font:SetTexture('Fonts/Demo.png')
  return font
end

function DemoText.Line(text, x, y, priority, r, g, b)
  local line = Text()
  line:SetFont('Fonts/Demo.bin')
  line:SetAsciiText(text)
  line:SetPosition(x, y)
  line:SetPriority(priority)
  line:SetColor(r, g, b, 255)
  line:Show()
  return line
end

function DemoText.Block(text, x, y, width, height, priority)
  local block = TextRect()
  block:SetFont('Fonts/Demo.bin')
  block:SetSize(width, height)
  block:SetCharOffset(3)
  block:SetSpaceWidth(12)
  block:SetLineOffset(8)
  block:SetAlignment(1)
  block:SetVerticalAlignment(1)
  block:SetPosition(x, y)
  block:SetPriority(priority)
  block:SetAsciiText(text)
  block:Show()
  return block
end
