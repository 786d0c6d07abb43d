-- One round of the stress calls, shared by both sides: Stress(side, i) with side 1 for the
-- loading screen and 2 for the loading state, i the side's running count.
function Stress(side, i)
  local g = GameStateSystem()
  local p = PropertySystem()
  local n = i % 4 + 1
  if i % 10 == 0 then
    g:SetSoundVolume(side * 0.25 + (i % 100) * 0.001)
    g:SetMusicVolume(side * 0.25 + (i % 100) * 0.001)
    Heard = g:GetSoundVolume() + g:GetMusicVolume()
  end
  if i % 50 == 0 then
    local m = SoundStream() m:Load('Loading/Tone' .. ((i / 50) % 2 + side) .. '.wav') m:SetIsMusic(1) m:Play(1)
  end
  if side == 1 then p:SetValue('Stress.Shared', i) else p:SetValue('Stress.Shared', 'L' .. i) end
  p:SetValue('Stress.Own' .. side, i)
  Read = p:GetValue('Stress.Shared')
  local s = Sprite() s:SetName('Stress.Sprite.' .. n)
  s:SetPosition(side * 100 + i % 300, side * 100)
  s:SetPriority(side * 10 + i % 7)
  s:Show()
  s:SetTexture('Loading/Tex' .. ((i + side) % 3 + 1) .. '.png')
  s:SetFullTextureRect()
end
