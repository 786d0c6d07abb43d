-- Something that walks around the wall to a target point, along the cheapest way through
-- the field's 64-pixel cells. Walker.WalkTo(x, y) sends it; Walker.Update(step) moves it.
-- Until a first click it tours its own targets back and forth.
Walker = { cell = 64, columns = 16, rows = 12, speed = 240, size = 48 }

local math = MathSystem()

-- The wall: column 8, rows 2 to 9.
Walker.wall = { column = 8, top = 2, bottom = 9 }

function Walker.IsWall(c, r)
  local wall = Walker.wall
  return c == wall.column and r >= wall.top and r <= wall.bottom
end

-- One node per open cell; edges to the open neighbours, diagonals only where both cells
-- beside them are open so that the walker never cuts a corner of the wall.
function Walker.BuildGraph()
  local w = Walker
  w.finder = PathFinder()
  w.nodeOf = {}
  w.cellOf = {}
  for r = 0, w.rows - 1 do
    for c = 0, w.columns - 1 do
      if not w.IsWall(c, r) then
        local id = w.finder:AddNode()
        w.nodeOf[r * w.columns + c] = id
        w.cellOf[id] = r * w.columns + c
      end
    end
  end
  local diagonal = math:Sqrt(2)
  for r = 0, w.rows - 1 do
    for c = 0, w.columns - 1 do
      local here = w.nodeOf[r * w.columns + c]
      if here then
        local right = c + 1 < w.columns and w.nodeOf[r * w.columns + c + 1]
        local left = c > 0 and w.nodeOf[r * w.columns + c - 1]
        local down = r + 1 < w.rows and w.nodeOf[(r + 1) * w.columns + c]
        if right then w.finder:AddEdge(here, right, 1) end
        if down then w.finder:AddEdge(here, down, 1) end
        if right and down and w.nodeOf[(r + 1) * w.columns + c + 1] then
          w.finder:AddEdge(here, w.nodeOf[(r + 1) * w.columns + c + 1], diagonal)
        end
        if left and down and w.nodeOf[(r + 1) * w.columns + c - 1] then
          w.finder:AddEdge(here, w.nodeOf[(r + 1) * w.columns + c - 1], diagonal)
        end
      end
    end
  end
end

-- The cell index of a point, or nil off the field.
function Walker.CellAt(x, y)
  local w = Walker
  if x < 0 or y < 0 then return nil end
  local c, r = math:Div(x, w.cell), math:Div(y, w.cell)
  if c >= w.columns or r >= w.rows then return nil end
  return r * w.columns + c
end

function Walker.CentreOf(cell)
  local w = Walker
  return math:Mod(cell, w.columns) * w.cell + w.cell / 2, math:Div(cell, w.columns) * w.cell + w.cell / 2
end

-- Sets off towards the cell under (x, y); the number of cells on the way, 0 when the
-- point is on the wall, off the field or cannot be reached.
function Walker.WalkTo(x, y)
  local w = Walker
  local targetCell, hereCell = w.CellAt(x, y), w.CellAt(w.x, w.y)
  local goal = targetCell and w.nodeOf[targetCell]
  local start = hereCell and w.nodeOf[hereCell]
  if not goal or not start then return 0 end
  local count = w.finder:FindPath(start, goal)
  if count == 0 then return 0 end
  w.path = {}
  for i = 1, count - 1 do
    local px, py = w.CentreOf(w.cellOf[w.finder:GetResultNodeId(i)])
    w.path[i] = { x = px, y = py }
  end
  w.next = 1
  return count
end

-- A click: the walker goes there and stops touring.
function Walker.OnClick(x, y)
  Walker.tour = nil
  Walker.WalkTo(x, y)
end

function Walker.Start(x, y, tour)
  local w = Walker
  w.x, w.y = x, y
  w.path, w.next = {}, 1
  w.tour, w.stop = tour, 1
  w.BuildGraph()
  w.wallSprite = Game.MakeSprite('Game.Wall', 'Textures/Wall.png', w.wall.column * w.cell, w.wall.top * w.cell, 9)
  w.sprite = Game.MakeSprite('Game.Walker', 'Textures/Walker.png', x - w.size / 2, y - w.size / 2, 30)
end

function Walker.Update(step)
  local w = Walker
  local left = w.speed * step
  while left > 0 and w.next <= #w.path do
    local p = w.path[w.next]
    local dx, dy = p.x - w.x, p.y - w.y
    local d = math:Sqrt(dx * dx + dy * dy)
    if d <= left then
      w.x, w.y = p.x, p.y
      left = left - d
      w.next = w.next + 1
    else
      w.x, w.y = w.x + dx * left / d, w.y + dy * left / d
      left = 0
    end
  end
  w.sprite:SetPosition(w.x - w.size / 2, w.y - w.size / 2)
  if w.next > #w.path and w.tour then
    w.WalkTo(w.tour[w.stop].x, w.tour[w.stop].y)
    w.stop = math:Mod(w.stop, #w.tour) + 1
  end
end
