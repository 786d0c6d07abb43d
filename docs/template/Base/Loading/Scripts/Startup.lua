-- Runs once at start-up: the game-API script every state runs first, the game's
-- states and the one to show first.
Application():SetStartupScript('Scripts/GameAPI.lua')

local play = GameState()
play:SetName('game')
play:SetStartupScript('States/Play.lua')

Application():SetCurrentGameState('game')
