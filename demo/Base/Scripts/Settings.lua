-- Tunables of the demo. fixedStep > 0 moves things by that many seconds a frame
-- whatever the frame time; quitAfterFrames > 0 ends the game after that many frames.
Settings = {
  menuFrames = 150,
  quitAfterFrames = 0,
  fixedStep = 0,
}
