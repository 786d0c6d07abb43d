-- Start-up of the Keldry text benchmark: one state, entered at once.
Application():SetStartupScript('')
local game = GameState()
game:SetName('game')
game:SetStartupScript('Textmark/Game.lua')
Application():SetCurrentGameState('game')
