-- Start-up of the Keldry character benchmark: one state, entered at once.
Application():SetStartupScript('')
local game = GameState()
game:SetName('game')
game:SetStartupScript('Charactermark/Game.lua')
Application():SetCurrentGameState('game')
