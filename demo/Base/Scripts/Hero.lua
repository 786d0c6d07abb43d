-- A hero who walks: four frames cut from one sheet, a shadow, and an action track
-- that sends it right, lets it rest, brings it back and rests again, every 8 s.
Hero = {}

-- One run of the four walking frames moves the hero `dx` pixels.
function Hero.AddWalk(name, dx)
  local h = Hero.animation
  h:BeginAnimationState(name)
  for i = 0, 3 do
    h:AddFrame(0, 0, 16, 48, 'Textures/Hero.png', 32 * i, 0, 32, 48, 'Textures/HeroAlpha.png')
  end
  h:AddFrameShadow(0, 0, 16, 6, 'Textures/HeroShadow.png', 0, 0, 32, 12)
  h:EndAnimationState()
  h:SetMoveOffset(name, dx, 0)
  -- Each frame of the game steps an animation twice: a quarter speed gives about
  -- 4 runs a second.
  h:SetAnimationSpeed(name, 0.25)
end

function Hero.Start(x, y)
  local h = CharacterAnimation()
  Hero.animation = h
  h:BeginAnimationState('rest')
  h:AddFrame(0, 0, 16, 48, 'Textures/Hero.png', 0, 0, 32, 48, 'Textures/HeroAlpha.png')
  h:AddFrameShadow(0, 0, 16, 6, 'Textures/HeroShadow.png', 0, 0, 32, 12)
  h:EndAnimationState()
  Hero.AddWalk('walkRight', 36)
  Hero.AddWalk('walkLeft', -36)
  h:SetPosition(x, y)
  h:SetPriority(30)
  h:SetShadowPriority(29)
  h:SetEndAnimationCallback('#Hero.OnRunEnd()')
  h:Show()

  -- Action tracks step with the animation players of their state: the hero's
  -- clock is a named player that plays nothing.
  Hero.clock = AnimationPlayer()
  Hero.clock:SetName('Hero.Clock')
  Hero.track = ActionTrack()
  Hero.track:Load('Tracks/Hero.track')
  Hero.track:SetAnimationType(1)
  Hero.track:Play()
end

-- A run ended with nothing queued: walk on while the track says so.
function Hero.OnRunEnd()
  if Hero.walking then
    Hero.animation:AddAction(Hero.walking)
  end
end

function Hero.Walk(name)
  Hero.walking = name
  Hero.animation:ClearExecuteStates()
  Hero.animation:AddAction(name)
  Hero.animation:Play(0)
end

function Hero.Rest()
  Hero.walking = nil
  Hero.animation:ClearExecuteStates()
  Hero.animation:AddAction('rest')
end
