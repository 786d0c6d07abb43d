-- The streams part of the audiomark for LÖVE: sound only, no window.
function love.conf(t)
  t.window = false
  t.modules.window = false
  t.modules.graphics = false
  t.modules.joystick = false
  t.modules.physics = false
end
