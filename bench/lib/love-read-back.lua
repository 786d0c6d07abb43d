-- The end of every LÖVE side-by-side scene, loaded by bench/*/love/main.lua:
--   local readBackAndQuit = dofile(love.filesystem.getSource() .. "/../../lib/love-read-back.lua")
-- readBackAndQuit(variable) reads the screen back, writes it as PNG to the file the
-- environment variable names (if set; the runner checks it is there) and ends the program.
return function(variable)
  love.graphics.captureScreenshot(function(data)
    local snapshot = os.getenv(variable)
    if snapshot then
      local out = io.open(snapshot, "wb")
      if out then out:write(data:encode("png"):getString()); out:close() end
    end
    love.event.quit(0)
  end)
end
