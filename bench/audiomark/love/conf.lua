-- The audiomark scene for LÖVE: a 1024x768 window, no joystick or physics.
function love.conf(t)
  t.window.title = "audiomark"
  t.window.width = 1024
  t.window.height = 768
  t.window.vsync = 0
  t.modules.joystick = false
  t.modules.physics = false
end
