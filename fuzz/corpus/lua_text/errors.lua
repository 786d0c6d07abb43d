local a = nil
local b = a.field
