-- The "system" state: the loading screen shown while another state loads. The
-- runtime looks up the two animation players by name and calls the functions below.
-- Every loading frame makes 20 rounds of the stress calls (side 1); States/Play.lua
-- makes the same calls as side 2 while it loads.
SystemLogic = { CursorAnimation = {} }
Loading = { LoadingBar = {}, time = 0, frameTime = 0 }
PageFX = { frames = -1 }

SystemLogic.CursorAnimation.player = AnimationPlayer()
SystemLogic.CursorAnimation.player:SetName('SystemLogic.CursorAnimation.player')
Loading.LoadingBar.AnimationPlayer = AnimationPlayer()
Loading.LoadingBar.AnimationPlayer:SetName('Loading.LoadingBar.AnimationPlayer')

-- A bar that grows from nothing to 800 pixels (50 times its 16-pixel picture) in two seconds.
Loading.bar = Sprite()
Loading.bar:SetName('Loading.Bar')
Loading.bar:SetTexture('Loading/Bar.png')
Loading.bar:SetFullTextureRect()
Loading.bar:SetPosition(112, 376)
Loading.bar:SetPriority(1000)
Loading.bar:SetHorizontalScale(0)
Loading.bar:Show()

function Loading.ShowProgress()
  local part = Loading.time / 2
  if part > 1 then part = 1 end
  Loading.bar:SetHorizontalScale(50 * part)
end

-- Once, at the first loading screen of the run.
function SystemLogic.FirstLoading() end

-- At the start of every load ("game" to "game" and "intro" loads take the second).
function Loading.StartMenuLoading()
  Loading.time = 0
  Loading.ShowProgress()
end

function Loading.StartGameLoading()
  Loading.StartMenuLoading()
end

-- The page-turn effect: the load does not end until EndPageFx is called.
function Loading.StartPageFX()
  PageFX.frames = 0
end

-- Every frame while a state loads; Loading.frameTime holds the frame time in seconds.
StressCalls = 0
for n = 1, 4 do local s = Sprite() s:SetName('Stress.Sprite.' .. n) s:Show() end
function Loading.Update()
  for k = 1, 20 do
    StressCalls = StressCalls + 1 local i = StressCalls

  local g = GameStateSystem()
  local p = PropertySystem()
  local n = i % 4 + 1
  if i % 10 == 0 then
    g:SetSoundVolume(1 * 0.25 + (i % 100) * 0.001)
    g:SetMusicVolume(1 * 0.25 + (i % 100) * 0.001)
    Heard = g:GetSoundVolume() + g:GetMusicVolume()
  end
  if i % 50 == 0 then
    local m = SoundStream() m:Load('Loading/Tone' .. ((i / 50) % 2 + 1) .. '.wav') m:SetIsMusic(1) m:Play(1)
  end
  if 1 == 1 then p:SetValue('Stress.Shared', i) else p:SetValue('Stress.Shared', 'L' .. i) end
  p:SetValue('Stress.Own1', i)
  Read = p:GetValue('Stress.Shared')
  local s = Sprite() s:SetName('Stress.Sprite.' .. n)
  s:SetPosition(1 * 100 + i % 300, 1 * 100)
  s:SetPriority(1 * 10 + i % 7)
  s:Show()
  s:SetTexture('Loading/Tex' .. ((i + 1) % 3 + 1) .. '.png')
  s:SetFullTextureRect()
  end
  Loading.time = Loading.time + Loading.frameTime
  Loading.ShowProgress()
  if PageFX.frames >= 0 then
    PageFX.frames = PageFX.frames + 1
    if PageFX.frames >= 10 then
      PageFX.frames = -1
      GameStateSystem():EndPageFx()
    end
  end
end
