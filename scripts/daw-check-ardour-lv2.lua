-- Steps of scripts/daw-check-ardour-lv2, run by Ardour's headless Lua session
-- tool (luasession). The shell wrapper points LV2_PATH at the bundle, writes
-- the bundle's port names (from lilv) to a file, and calls:
--
--   create  DIR NAME PORTS     new session: stereo track, click source, Tavrel
--                              LV2; checks identity, I/O, the 60 parameters'
--                              names against PORTS, the factory presets; sets
--                              three parameters and saves
--   range   FILE SECS          adds a session range of SECS seconds
--   reload  DIR NAME [INDEX=VALUE ...]
--                              loads the session; the parameters must read back
--                              as saved (and as given); saves a snapshot whose
--                              state must equal the saved one, chunk byte for byte
--   preset  DIR NAME LABEL     loads the session, selects the factory preset
--                              LABEL; the parameters must become that program's
--                              values in the chunk
--   analyse WAV                an exported render of the click: dry impulse,
--                              first echo one beat (0.5 s at 120 BPM) later,
--                              second echo scaled by the feedback gain

local failures = 0
local function check (cond, what)
	if cond then
		print ("ok    " .. what)
	else
		print ("FAIL  " .. what)
		failures = failures + 1
	end
end

local function finish ()
	if failures > 0 then error (failures .. " check(s) failed", 0) end
end

local kUri = "urn:korvane:tavrel"

-- ------------------------------------------------------------ base64

local b64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
local b64index = {}
for i = 1, 64 do b64index[b64:sub (i, i)] = i - 1 end

local function b64decode (s)
	s = s:gsub ("[^%w%+/=]", "")
	local out = {}
	for i = 1, #s, 4 do
		local a, b, c, d = b64index[s:sub (i, i)], b64index[s:sub (i + 1, i + 1)], b64index[s:sub (i + 2, i + 2)], b64index[s:sub (i + 3, i + 3)]
		local n = (a << 18) | (b << 12) | ((c or 0) << 6) | (d or 0)
		out[#out + 1] = string.char ((n >> 16) & 255)
		if c then out[#out + 1] = string.char ((n >> 8) & 255) end
		if d then out[#out + 1] = string.char (n & 255) end
	end
	return table.concat (out)
end

-- ------------------------------------------------------- session files

local function readfile (path)
	local f = assert (io.open (path, "rb"))
	local s = f:read ("a")
	f:close ()
	return s
end

local function writefile (path, s)
	local f = assert (io.open (path, "wb"))
	f:write (s)
	f:close ()
end

-- The plug-in's state as Ardour saved it for a snapshot: the session file
-- holds the LV2 insert's port values by symbol and names its state folder
-- (plugins/ID/stateN/state.ttl), where the chunk property is.
local function state_of (dir, snapshot)
	local xml = readfile (dir .. "/" .. snapshot .. ".ardour")
	local id = xml:match ('<Processor id="(%d+)"[^>]-type="lv2"')
	local block = xml:match ('<lv2 [^>]- state%-dir="[^"]+">.-</lv2>')
	assert (id and block, "no LV2 insert with a state folder in " .. snapshot .. ".ardour")
	local ports = {}
	for symbol, value in block:gmatch ('<Port symbol="([^"]+)" value="([^"]+)"/>') do ports[symbol] = value end
	local path = dir .. "/plugins/" .. id .. "/" .. block:match ('state%-dir="([^"]+)"') .. "/state.ttl"
	return readfile (path), ports, path
end

-- The chunk property's bytes: an atom:Chunk, written as base64.
local function chunk_of (ttl)
	local text = ttl:match ("<" .. kUri .. "#chunk>%s*\"\"\"(.-)\"\"\"") or ttl:match ("<" .. kUri .. "#chunk>%s*\"([^\"]*)\"")
	assert (text, "no chunk property in the saved state")
	return b64decode (text)
end

local function count (t)
	local n = 0
	for _ in pairs (t) do n = n + 1 end
	return n
end

local kChunkBytes, kPrograms, kRecord = 16376, 61, 264

local function check_chunk (raw, label)
	local version, _, programs, current = string.unpack ("<i4c4<i4<i4", raw)
	check (#raw == kChunkBytes, label .. ": chunk of " .. kChunkBytes .. " bytes (got " .. #raw .. ")")
	check (version == 0x01000000 and programs == kPrograms, label .. ": chunk version and program count")
	check (string.unpack ("<i4", raw, 5) == string.unpack (">i4", "Rdlx"), label .. ": chunk carries the plug-in ID")
	return current
end

local function program_record (raw, index)
	local at = 32 + kRecord * index + 1
	local name = raw:sub (at, at + 23):gsub ("%z.*", "")
	local values = {}
	for i = 0, 59 do values[i] = (string.unpack ("<f", raw, at + 24 + 4 * i)) end
	return name, values
end

-- "index<TAB>symbol<TAB>name" lines, written by the wrapper from lilv.
local function read_ports (path)
	local ports = {}
	for line in io.lines (path) do
		local i, symbol, name = line:match ("^(%d+)\t([^\t]+)\t(.*)$")
		if i then ports[tonumber (i)] = { symbol = symbol, name = name } end
	end
	return ports
end

-- ------------------------------------------------------------- steps

local function plugin_of_track ()
	local track = Session:route_by_name ("Echo")
	assert (not track:isnil (), "no track Echo")
	local proc = track:nth_plugin (1)
	assert (not proc:isnil (), "no plug-in after the click source")
	return proc, proc:to_insert ():plugin (0)
end

-- Parameter i (0..59) is the control port 6 + i; Ardour counts LV2
-- parameters by port, and its Lua helpers by control port.
local function get (proc, i) return ARDOUR.LuaAPI.get_processor_param (proc, i, false) end

local function step_create (dir, name, ports_file)
	local ports = read_ports (ports_file)
	assert (create_session (dir, name, 48000), "cannot create the session")
	local track = Session:new_audio_track (2, 2, nil, 1, "Echo", -1, ARDOUR.TrackMode.Normal, true):front ()
	local click = ARDOUR.LuaAPI.new_plugin (Session, "Tavrel Check Click", ARDOUR.PluginType.Lua, "")
	assert (not click:isnil (), "the click source script was not found")
	track:add_processor_by_index (click, 0, nil, true)

	local proc = ARDOUR.LuaAPI.new_plugin (Session, kUri, ARDOUR.PluginType.LV2, "")
	check (not proc:isnil (), "Ardour lists and instantiates " .. kUri .. " as LV2")
	if proc:isnil () then finish () end
	check (track:add_processor_by_index (proc, 1, nil, true) == 0, "Tavrel inserted on the track")

	local insert = proc:to_insert ()
	local plug = insert:plugin (0)
	check (plug:name () == "Tavrel", "name Tavrel (" .. plug:name () .. ")")
	check (plug:unique_id () == kUri, "URI " .. kUri .. " (" .. plug:unique_id () .. ")")
	check (plug:maker () == "Korvane", "maker Korvane (" .. plug:maker () .. ")")
	check (insert:natural_input_streams ():n_audio () == 4 and insert:natural_output_streams ():n_audio () == 2,
	       string.format ("4 inputs, 2 outputs (%d, %d)", insert:natural_input_streams ():n_audio (), insert:natural_output_streams ():n_audio ()))

	local inputs, wrong = 0, {}
	for port = 0, plug:parameter_count () - 1 do
		if plug:parameter_is_control (port) and plug:parameter_is_input (port) then
			inputs = inputs + 1
			local want = ports[port]
			if not want or plug:parameter_label (port) ~= want.name then wrong[#wrong + 1] = port .. " " .. plug:parameter_label (port) end
		end
	end
	check (inputs == 60, "60 control inputs (" .. inputs .. ")")
	check (#wrong == 0, "every parameter named as in the bundle" .. (wrong[1] and " (not " .. wrong[1] .. ")" or ""))
	check (plug:parameter_label (6 + 2) == ports[8].name and ports[8].symbol == "Mix", "parameter 2 is Mix, \"" .. plug:parameter_label (8) .. "\"")
	check (math.abs (get (proc, 2) - 0.5) < 1e-6, "Mix starts at the first program's 0.5")

	local presets, factory = plug:get_info ():get_presets (false), 0
	local first, last
	for p in presets:iter () do
		if p.uri:find (kUri .. "#preset-", 1, true) == 1 then
			factory = factory + 1
			if p.uri == kUri .. "#preset-00" then first = p.label end
			if p.uri == kUri .. "#preset-60" then last = p.label end
		end
	end
	check (factory == 61, "61 factory presets in Ardour's preset list (" .. factory .. " of " .. presets:size () .. ")")
	print ("      preset-00 \"" .. tostring (first) .. "\", preset-60 \"" .. tostring (last) .. "\"")

	ARDOUR.LuaAPI.set_processor_param (proc, 2, 0.73)
	ARDOUR.LuaAPI.set_processor_param (proc, 3, 0.31)
	ARDOUR.LuaAPI.set_processor_param (proc, 4, 0.32)
	check (math.abs (get (proc, 2) - 0.73) < 1e-6, "Mix set to 0.73 through the host")
	-- The ports reach the plug-in in its next run: let the engine run a while.
	ARDOUR.LuaAPI.usleep (300000)

	check (Session:save_state ("", false, false, false, false, false) == 0, "session saved")
	close_session ()

	local ttl, saved, path = state_of (dir, name)
	print ("      state: " .. path:sub (#dir + 2))
	local raw = chunk_of (ttl)
	check (check_chunk (raw, "saved") == 0, "saved chunk names program 0 as current")
	local _, values = program_record (raw, 0)
	check (math.abs (values[2] - 0.73) < 1e-6 and math.abs (values[3] - 0.31) < 1e-6 and math.abs (values[4] - 0.32) < 1e-6,
	       string.format ("saved chunk holds the values set (%g %g %g)", values[2], values[3], values[4]))
	check (count (saved) == 60 and saved.Mix and math.abs (tonumber (saved.Mix) - 0.73) < 1e-6,
	       "session holds 60 port values by symbol, Mix 0.73 (" .. count (saved) .. ", Mix " .. tostring (saved.Mix) .. ")")
end

local function step_range (file, seconds)
	local xml = readfile (file)
	-- Session time in the file counts superclock ticks (282240000 per second).
	local range = string.format ('<Locations>\n    <Location id="990001" name="session" start="a0" end="a%d" flags="IsSessionRange" locked="0" timestamp="1" cue="0"/>\n  </Locations>',
	                             math.floor (seconds * 282240000))
	local n
	xml, n = xml:gsub ("<Locations/>", range, 1)
	assert (n == 1, "session file has locations already")
	writefile (file, xml)
end

local function step_reload (dir, name, expect)
	-- Read before loading: Ardour keeps the old state folder for the snapshot
	-- when the new state equals it, and writes a new one when it differs.
	local before, ports_before = state_of (dir, name)
	local raw_before = chunk_of (before)
	local _, stored = program_record (raw_before, 0)
	assert (load_session (dir, name), "cannot load the session")
	local proc = plugin_of_track ()
	local worst, worst_index = 0, -1
	for i = 0, 59 do
		local want = (i == 43 or i == 44) and nil or stored[i]  -- write-only switches: no value to read back
		if want then
			local d = math.abs (get (proc, i) - want)
			if d > worst then worst, worst_index = d, i end
		end
	end
	check (worst < 1e-6, string.format ("the parameters came back as saved in the chunk (worst %g at %d)", worst, worst_index))
	for i, v in pairs (expect) do
		local got = get (proc, i)
		check (math.abs (got - v) < 1e-6, string.format ("parameter %d reads %g (want %g)", i, got, v))
	end
	ARDOUR.LuaAPI.usleep (300000)
	check (Session:save_state ("check-after", false, false, false, false, false) == 0, "snapshot saved after reload")
	close_session ()
	local after, ports_after, path = state_of (dir, "check-after")
	print ("      state: " .. path:sub (#dir + 2))
	local raw_after = chunk_of (after)
	check_chunk (raw_after, "re-saved")
	check (raw_after == raw_before, "re-saved chunk equals the saved one byte for byte")
	local differ = {}
	for k, v in pairs (ports_before) do if ports_after[k] ~= v then differ[#differ + 1] = k end end
	check (count (ports_after) == 60 and #differ == 0, "re-saved port values equal the saved ones" .. (#differ > 0 and " (not " .. table.concat (differ, " ") .. ")" or ""))
end

local function step_preset (dir, name, label)
	local raw = chunk_of ((state_of (dir, name)))
	assert (load_session (dir, name), "cannot load the session")
	local proc, plug = plugin_of_track ()
	local pr = plug:preset_by_label (label)
	check (pr ~= nil and pr.valid, "preset \"" .. label .. "\" found by its label")
	if pr == nil then close_session () finish () return end
	check (plug:load_preset (pr), "preset \"" .. label .. "\" loaded")
	ARDOUR.LuaAPI.usleep (300000)
	local index = tonumber (pr.uri:match ("#preset%-(%d+)$"))
	local pname, values = program_record (raw, index)
	check (pname == label, "preset " .. index .. " is program \"" .. pname .. "\" of the chunk")
	local worst, worst_index = 0, -1
	for i = 0, 59 do
		if i ~= 43 and i ~= 44 then
			local d = math.abs (get (proc, i) - values[i])
			if d > worst then worst, worst_index = d, i end
		end
	end
	check (worst < 1e-6, string.format ("the parameters read as program %d's values (worst %g at %d)", index, worst, worst_index))
	check (Session:save_state ("check-preset", false, false, false, false, false) == 0, "snapshot saved after the preset")
	close_session ()
	local current = check_chunk (chunk_of ((state_of (dir, "check-preset"))), "preset")
	check (current == index, "saved chunk names program " .. index .. " as current (" .. current .. ")")
end

local function step_analyse (wav)
	local data = readfile (wav)
	local pos, channels, rate, bits, format, samples = 13
	while pos < #data do
		local id, size = string.unpack ("<c4I4", data, pos)
		if id == "fmt " then format, channels, rate = string.unpack ("<I2I2I4", data, pos + 8); bits = string.unpack ("<I2", data, pos + 22) end
		if id == "data" then samples = data:sub (pos + 8, pos + 7 + size); break end
		pos = pos + 8 + size + (size & 1)
	end
	assert (samples and format == 3 and bits == 32, "expected a 32-bit float WAV")
	local frames = #samples // (4 * channels)
	-- Bursts on the left channel: (frame, peak) of each run above -46 dBFS.
	local bursts, i = {}, 0
	while i < frames do
		local v = math.abs (string.unpack ("<f", samples, 4 * channels * i + 1))
		if v > 0.005 then
			local peak, at = 0, i
			for j = i, math.min (frames - 1, i + 200) do
				local w = math.abs (string.unpack ("<f", samples, 4 * channels * j + 1))
				if w > peak then peak, at = w, j end
			end
			bursts[#bursts + 1] = { at, peak }
			i = i + 400
		else
			i = i + 1
		end
	end
	for k = 1, math.min (#bursts, 6) do print (string.format ("      burst at %d (%.4f s) peak %.4f", bursts[k][1], bursts[k][1] / rate, bursts[k][2])) end
	check (#bursts >= 3, "dry impulse and at least two echoes (" .. #bursts .. " bursts)")
	if #bursts < 3 then finish () return end
	-- Mix 0.73 leaves 0.27 of the 0.5 impulse dry.
	check (math.abs (bursts[1][2] - 0.135) < 0.01, string.format ("dry impulse at 0.27 x 0.5 (%.4f)", bursts[1][2]))
	local gap1, gap2 = bursts[2][1] - bursts[1][1], bursts[3][1] - bursts[2][1]
	local beat = rate * 60 / 120
	check (math.abs (gap2 - beat) <= 8, string.format ("echoes one beat apart at the host's 120 BPM (%d frames, want %d)", gap2, beat))
	check (math.abs (gap1 - beat) <= 64, string.format ("first echo one beat after the dry impulse (%d frames)", gap1))
	local ratio = bursts[3][2] / bursts[2][2]
	check (math.abs (ratio - 0.31) < 0.03, string.format ("second echo scaled by the feedback gain 0.31 (%.3f)", ratio))
end

-- ------------------------------------------------------------- main

local step = arg[1]
if step == "create" then
	step_create (arg[2], arg[3], arg[4])
elseif step == "range" then
	step_range (arg[2], tonumber (arg[3]))
elseif step == "reload" then
	local expect = {}
	for k = 4, #arg do
		local i, v = arg[k]:match ("^(%d+)=([%d%.]+)$")
		expect[tonumber (i)] = tonumber (v)
	end
	step_reload (arg[2], arg[3], expect)
elseif step == "preset" then
	step_preset (arg[2], arg[3], arg[4])
elseif step == "analyse" then
	step_analyse (arg[2])
else
	error ("unknown step " .. tostring (step))
end
finish ()
