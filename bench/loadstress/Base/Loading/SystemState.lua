-- The "system" state: the loading screen shown while another state loads. The runtime
-- looks up the two animation players by name and calls the functions below. Besides the
-- four stress sprites it draws, every loading frame makes 20 rounds of the stress calls
-- (side 1) while States/Play.lua makes its own (side 2).
SystemLogic = { CursorAnimation = {} }
Loading = { LoadingBar = {}, frameTime = 0 }
SystemLogic.CursorAnimation.player = AnimationPlayer()
SystemLogic.CursorAnimation.player:SetName('SystemLogic.CursorAnimation.player')
Loading.LoadingBar.AnimationPlayer = AnimationPlayer()
Loading.LoadingBar.AnimationPlayer:SetName('Loading.LoadingBar.AnimationPlayer')
GameStateSystem():RunScript('Scripts/StressCalls.lua')

for n = 1, 4 do local s = Sprite() s:SetName('Stress.Sprite.' .. n) s:Show() end
Calls = 0

function SystemLogic.FirstLoading() end
function Loading.StartMenuLoading() end
function Loading.StartGameLoading() end
-- The one load of this game is no page-turn: nothing waits for EndPageFx.
function Loading.StartPageFX() end

function Loading.Update()
  for k = 1, 20 do
    Calls = Calls + 1
    Stress(1, Calls)
  end
end
