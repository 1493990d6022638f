-- The battle's own events: the scripts characters and specials name in the data.

-- The archer's automatic script, when an enemy falls.
function archer_cheer()
end

-- Whether the healing magic may be cast now.
function heal_condition()
	return true
end

-- After the fire bolt has struck.
function firebolt_after()
end
