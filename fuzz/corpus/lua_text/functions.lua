local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
local f = function(...) local a, b = ... return a or b, select end
local x = fib(10) % 7 ^ 2 - -3
while x > 0 do x = x - 1 if x == 3 then break end end
repeat x = x + 1 until x >= 5
return f(x, nil)
