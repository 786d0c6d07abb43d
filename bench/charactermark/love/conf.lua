-- The character benchmark's scene for LÖVE: a 1024x768 window, no vsync, no audio.
function love.conf(t)
  t.window.title = "charactermark"
  t.window.width = 1024
  t.window.height = 768
  t.window.vsync = 0
  t.modules.audio = false
  t.modules.sound = false
  t.modules.joystick = false
  t.modules.physics = false
end
