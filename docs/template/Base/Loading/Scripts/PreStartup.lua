-- Runs first, before the player profiles are read: where this game keeps its saves,
-- inside the player's documents folder.
Application():SetUserPath('MyStudio/FirstGame')
