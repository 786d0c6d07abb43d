-- Tunables. quitAfterFrames > 0 ends the game after that many frames of play.
Settings = {
  speed = 200,
  quitAfterFrames = 0,
}
