-- The "system" state: the loading screen shown while another state loads, with a
-- bar that fills in two seconds, and a short page effect before the menu.
SystemLogic = { CursorAnimation = {} }
Loading = { LoadingBar = {}, time = 0, frameTime = 0 }
PageFX = { frames = -1 }

SystemLogic.CursorAnimation.player = AnimationPlayer()
SystemLogic.CursorAnimation.player:SetName('SystemLogic.CursorAnimation.player')
Loading.LoadingBar.AnimationPlayer = AnimationPlayer()
Loading.LoadingBar.AnimationPlayer:SetName('Loading.LoadingBar.AnimationPlayer')

Loading.screen = Sprite()
Loading.screen:SetName('Loading.Screen')
Loading.screen:SetTexture('Loading/LoadingScreen.png')
Loading.screen:SetFullTextureRect()
Loading.screen:SetPosition(0, 0)
Loading.screen:SetPriority(1000)
Loading.screen:Show()

Loading.bar = Sprite()
Loading.bar:SetName('Loading.Bar')
Loading.bar:SetTexture('Loading/LoadingBar.png')
Loading.bar:SetFullTextureRect()
Loading.bar:SetPosition(112, 600)
Loading.bar:SetPriority(1001)
Loading.bar:SetHorizontalScale(0)
Loading.bar:Show()

-- 800 pixels of bar are 50 times the 16-pixel picture.
function Loading.ShowProgress()
  local part = Loading.time / 2
  if part > 1 then part = 1 end
  Loading.bar:SetHorizontalScale(50 * part)
end

function SystemLogic.FirstLoading() end

function Loading.StartMenuLoading()
  Loading.time = 0
  Loading.ShowProgress()
end

function Loading.StartGameLoading()
  Loading.StartMenuLoading()
end

function Loading.StartPageFX()
  PageFX.frames = 0
end

function Loading.Update()
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
