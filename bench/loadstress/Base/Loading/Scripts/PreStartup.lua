Application():SetUserPath('LoadStress')
