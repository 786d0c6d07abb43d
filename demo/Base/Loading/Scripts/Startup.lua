-- The game's states and the first one to show.
Application():SetStartupScript('Scripts/GameAPI.lua')

local menu = GameState()
menu:SetName('menu')
menu:SetStartupScript('States/Menu.lua')

local game = GameState()
game:SetName('game')
game:SetStartupScript('States/Game.lua')

Application():SetCurrentGameState('menu')
