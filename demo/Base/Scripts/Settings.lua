-- Tunables of the demo. fixedStep > 0 moves things by that many seconds a frame
-- whatever the frame time; quitAfterFrames > 0 ends the game after that many frames.
--
-- To change them for a run, name a second folder after Base on the command line
-- (-resource Base -resource <folder>) holding its own Scripts/Settings.lua. Of two
-- copies of a file the one with the later modification time is used, counted in whole
-- seconds and whatever the order of the folders; on the same second Base's copy is
-- used, because Base is indexed again when the first state loads. The build copies
-- this file afresh, so a copy written before the last build, or within the same
-- second, is not used: touch it again.
Settings = {
  menuFrames = 150,
  quitAfterFrames = 0,
  fixedStep = 0,
}
