-- Steps of scripts/daw-check-ardour, run by Ardour's headless Lua session
-- tool (luasession). Needs Ardour 7 installed; the shell wrapper sets up the
-- environment, the plug-in folder and the scan cache, and calls:
--
--   create  DIR NAME          new session: stereo track, click source, Tavrel;
--                             checks identity, I/O and parameters, sets three
--                             parameters and saves (the state goes into the chunk)
--   prepare FILE PROGRAM SECS  edits a saved session: the chunk's current program
--                             becomes PROGRAM (-1 keeps it); a session range of
--                             SECS seconds is added (0: none)
--   reload  DIR NAME PROGRAM [INDEX=VALUE ...]
--                             loads the session; every parameter must read back
--                             as program PROGRAM of the loaded chunk (and as the
--                             given values); saves a snapshot whose chunk must
--                             still name PROGRAM as current
--   analyse WAV               an exported render of the click: dry impulse,
--                             first echo one beat (0.5 s at 120 BPM) later,
--                             second echo scaled by the feedback gain

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

local function b64encode (s)
	local out = {}
	for i = 1, #s, 3 do
		local a, b, c = s:byte (i, i + 2)
		local n = (a << 16) | ((b or 0) << 8) | (c or 0)
		local quad = { (n >> 18) & 63, (n >> 12) & 63, (n >> 6) & 63, n & 63 }
		for k = 1, 4 do out[#out + 1] = b64:sub (quad[k] + 1, quad[k] + 1) end
		if not b then out[#out] = "="; out[#out - 1] = "=" elseif not c then out[#out] = "=" end
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

-- The plug-in's state as the host stored it: the chunk's bytes and where
-- its text sits in the session file.
local function chunk_of (xml)
	local open_end, text_end = select (2, xml:find ("<chunk[^>]*>")), xml:find ("</chunk>", 1, true)
	assert (open_end and text_end, "no <chunk> in the session file")
	return b64decode (xml:sub (open_end + 1, text_end - 1)), open_end, text_end
end

local kChunkBytes, kPrograms, kRecord = 16376, 61, 264

local function chunk_header (raw)
	local version, id, programs, current = string.unpack ("<i4>c4<i4<i4", raw)
	return version, id, programs, current
end

local function program_record (raw, index)
	local at = 32 + kRecord * index + 1
	local name = raw:sub (at, at + 23):gsub ("%z.*", "")
	local values = {}
	for i = 0, 59 do values[i] = (string.unpack ("<f", raw, at + 24 + 4 * i)) end
	return name, values
end

local function check_chunk (raw, label)
	local version, id, programs, current = chunk_header (raw)
	check (#raw == kChunkBytes, label .. ": chunk of " .. kChunkBytes .. " bytes (got " .. #raw .. ")")
	check (version == 0x01000000 and programs == kPrograms, label .. ": chunk version and program count")
	check (string.unpack ("<i4", raw, 5) == string.unpack (">i4", "Rdlx"), label .. ": chunk carries the plug-in ID")
	return current
end

-- ------------------------------------------------------------- steps

local function plugin_of_track ()
	local track = Session:route_by_name ("Echo")
	assert (not track:isnil (), "no track Echo")
	local proc = track:nth_plugin (1)
	assert (not proc:isnil (), "no plug-in after the click source")
	return proc, proc:to_insert ():plugin (0)
end

local function step_create (dir, name)
	assert (create_session (dir, name, 48000), "cannot create the session")
	local track = Session:new_audio_track (2, 2, nil, 1, "Echo", -1, ARDOUR.TrackMode.Normal, true):front ()
	local click = ARDOUR.LuaAPI.new_plugin (Session, "Tavrel Check Click", ARDOUR.PluginType.Lua, "")
	assert (not click:isnil (), "the click source script was not found")
	track:add_processor_by_index (click, 0, nil, true)

	local proc = ARDOUR.LuaAPI.new_plugin (Session, "Tavrel", ARDOUR.PluginType.LXVST, "")
	check (not proc:isnil (), "Ardour lists and instantiates Tavrel as a Linux VST")
	if proc:isnil () then finish () end
	check (track:add_processor_by_index (proc, 1, nil, true) == 0, "Tavrel inserted on the track")

	local insert = proc:to_insert ()
	local plug = insert:plugin (0)
	check (plug:name () == "Tavrel", "name Tavrel (" .. plug:name () .. ")")
	check (plug:unique_id () == tostring (string.unpack (">i4", "Rdlx")), "unique ID Rdlx (" .. plug:unique_id () .. ")")
	check (insert:natural_input_streams ():n_audio () == 4 and insert:natural_output_streams ():n_audio () == 2,
	       "4 inputs, 2 outputs")
	check (plug:parameter_count () == 60, "60 parameters (" .. plug:parameter_count () .. ")")
	local names = { [0] = "Input", [2] = "Mix", [35] = "DlyTimeL", [43] = "n/a", [59] = "MuteInR" }
	for i, n in pairs (names) do
		check (plug:parameter_label (i) == n, "parameter " .. i .. " is " .. n .. " (" .. plug:parameter_label (i) .. ")")
	end
	check (math.abs (ARDOUR.LuaAPI.get_processor_param (proc, 2, false) - 0.5) < 1e-6, "Mix starts at the first program's 0.5")

	ARDOUR.LuaAPI.set_processor_param (proc, 2, 0.73)
	ARDOUR.LuaAPI.set_processor_param (proc, 3, 0.31)
	ARDOUR.LuaAPI.set_processor_param (proc, 4, 0.32)
	check (math.abs (ARDOUR.LuaAPI.get_processor_param (proc, 2, false) - 0.73) < 1e-6, "Mix set to 0.73 through the host")

	check (Session:save_state ("", false, false, false, false, false) == 0, "session saved")
	close_session ()

	local raw = chunk_of (readfile (dir .. "/" .. name .. ".ardour"))
	check (check_chunk (raw, "saved") == 0, "saved chunk names program 0 as current")
	local _, values = program_record (raw, 0)
	check (math.abs (values[2] - 0.73) < 1e-6 and math.abs (values[3] - 0.31) < 1e-6, "saved chunk holds the values set")
end

local function step_prepare (file, program, seconds)
	local xml = readfile (file)
	if program >= 0 then
		local raw, open_end, text_end = chunk_of (xml)
		raw = raw:sub (1, 12) .. string.pack ("<i4", program) .. raw:sub (17)
		xml = xml:sub (1, open_end) .. b64encode (raw) .. xml:sub (text_end)
	end
	if seconds > 0 then
		-- Session time in the file counts superclock ticks (282240000 per second).
		local range = string.format ('<Locations>\n    <Location id="990001" name="session" start="a0" end="a%d" flags="IsSessionRange" locked="0" timestamp="1" cue="0"/>\n  </Locations>',
		                             math.floor (seconds * 282240000))
		local n
		xml, n = xml:gsub ("<Locations/>", range, 1)
		assert (n == 1, "session file has locations already")
	end
	writefile (file, xml)
end

local function step_reload (dir, name, program, expect)
	local raw = chunk_of (readfile (dir .. "/" .. name .. ".ardour"))
	local pname, stored = program_record (raw, program)
	assert (load_session (dir, name), "cannot load the session")
	local proc = plugin_of_track ()
	local worst, worst_index = 0, -1
	for i = 0, 59 do
		local want = (i == 43 or i == 44) and 1.0 or stored[i]  -- write-only switches read back 1.0
		local d = math.abs (ARDOUR.LuaAPI.get_processor_param (proc, i, false) - want)
		if d > worst then worst, worst_index = d, i end
	end
	check (worst < 1e-6, string.format ("all 60 parameters came back as program %d \"%s\" of the chunk (worst %g at %d)",
	                                    program, pname, worst, worst_index))
	for i, v in pairs (expect) do
		local got = ARDOUR.LuaAPI.get_processor_param (proc, i, false)
		check (math.abs (got - v) < 1e-6, string.format ("parameter %d reads %g (want %g)", i, got, v))
	end
	check (Session:save_state ("check-after", false, false, false, false, false) == 0, "snapshot saved after reload")
	close_session ()
	local again = chunk_of (readfile (dir .. "/check-after.ardour"))
	check (check_chunk (again, "re-saved") == program, "re-saved chunk still names program " .. program .. " as current")
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
	step_create (arg[2], arg[3])
elseif step == "prepare" then
	step_prepare (arg[2], tonumber (arg[3]), tonumber (arg[4]))
elseif step == "reload" then
	local expect = {}
	for k = 5, #arg do
		local i, v = arg[k]:match ("^(%d+)=([%d%.]+)$")
		expect[tonumber (i)] = tonumber (v)
	end
	step_reload (arg[2], arg[3], tonumber (arg[4]), expect)
elseif step == "analyse" then
	step_analyse (arg[2])
else
	error ("unknown step " .. tostring (step))
end
finish ()
