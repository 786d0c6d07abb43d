-- Start-up of the Keldry effects benchmark: one state, entered at once.
Application():SetStartupScript('')
local game = GameState()
game:SetName('game')
game:SetStartupScript('Effects/Scene.lua')
Application():SetCurrentGameState('game')
