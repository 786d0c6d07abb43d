local t = { 1, 2, 3, x = "a", [4] = { y = 2.5 } }
for i = 1, #t do t[i] = t[i] * 2 end
for k, v in next, t do local _ = k end
local s = "a" .. 1 .. "b" .. t.x
return s, #s, t[4].y
