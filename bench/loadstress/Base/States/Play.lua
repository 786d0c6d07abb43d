-- Runs on the loader thread: 3000 rounds of the stress calls (side 2) while the loading
-- screen makes its own, then the count of calls the loading screen made by then; quits a
-- second after the load.
local p = ProfileSystem()
local id = p:CreateNewProfile()
p:SetSelectedProfileId(id)
for i = 1, 3000 do

  local g = GameStateSystem()
  local p = PropertySystem()
  local n = i % 4 + 1
  if i % 10 == 0 then
    g:SetSoundVolume(2 * 0.25 + (i % 100) * 0.001)
    g:SetMusicVolume(2 * 0.25 + (i % 100) * 0.001)
    Heard = g:GetSoundVolume() + g:GetMusicVolume()
  end
  if i % 50 == 0 then
    local m = SoundStream() m:Load('Loading/Tone' .. ((i / 50) % 2 + 2) .. '.wav') m:SetIsMusic(1) m:Play(1)
  end
  if 2 == 1 then p:SetValue('Stress.Shared', i) else p:SetValue('Stress.Shared', 'L' .. i) end
  p:SetValue('Stress.Own2', i)
  Read = p:GetValue('Stress.Shared')
  local s = Sprite() s:SetName('Stress.Sprite.' .. n)
  s:SetPosition(2 * 100 + i % 300, 2 * 100)
  s:SetPriority(2 * 10 + i % 7)
  s:Show()
  s:SetTexture('Loading/Tex' .. ((i + 2) % 3 + 1) .. '.png')
  s:SetFullTextureRect()
end
Debugger():ShowValue("STRESS ENDS", PropertySystem():GetValue('Stress.Own1'))
local quitIn = 1.0
function Tick(dt) quitIn = quitIn - dt if quitIn < 0 then GameStateSystem():Quit() end end
GameStateSystem():SetUpdaterFunctionName('Tick')
