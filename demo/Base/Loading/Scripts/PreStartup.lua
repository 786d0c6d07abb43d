-- Runs before the player profiles are read: the folder they live in.
Application():SetUserPath('Keldry/Demo')
