local counters = {}
for i = 1, 3 do
  local n = i
  counters[i] = function() n = n + 1; return n end
end
local t = setmetatable
local big = [[long
string]] .. [==[ with ]] inside ]==]
return counters[1](), counters[3](), big, 0x1F, 1e3, "\65\n\"", t
