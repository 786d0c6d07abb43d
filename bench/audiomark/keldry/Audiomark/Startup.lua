-- Start-up of the Keldry audiomark: one state, entered at once.
Application():SetStartupScript('')
local game = GameState()
game:SetName('game')
game:SetStartupScript('Audiomark/Game.lua')
Application():SetCurrentGameState('game')
