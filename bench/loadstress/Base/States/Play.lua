-- Runs on the loader thread: 3000 rounds of the stress calls (side 2) while the loading
-- screen makes its own, then logs the count of calls the loading screen had made by then;
-- quits a second after the load.
local p = ProfileSystem()
local id = p:CreateNewProfile()
p:SetSelectedProfileId(id)
GameStateSystem():RunScript('Scripts/StressCalls.lua')
for i = 1, 3000 do
  Stress(2, i)
end
Debugger():ShowValue("STRESS ENDS", PropertySystem():GetValue('Stress.Own1'))
local quitIn = 1.0
function Tick(dt) quitIn = quitIn - dt if quitIn < 0 then GameStateSystem():Quit() end end
GameStateSystem():SetUpdaterFunctionName('Tick')
