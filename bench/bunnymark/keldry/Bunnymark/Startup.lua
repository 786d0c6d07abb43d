-- Start-up of the Keldry bunnymark: one state, entered at once.
Application():SetStartupScript('')
local game = GameState()
game:SetName('game')
game:SetStartupScript('Bunnymark/Game.lua')
Application():SetCurrentGameState('game')
