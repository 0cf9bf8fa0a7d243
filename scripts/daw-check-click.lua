ardour {
	["type"]    = "dsp",
	name        = "Tavrel Check Click",
	category    = "Utility",
	license     = "MIT",
	author      = "Tavrel",
	description = [[Test source for scripts/daw-check-ardour: silence, except one impulse of 0.5 on both outputs at transport sample 4800 while the transport rolls.]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

function dsp_run (ins, outs, n_samples)
	for c = 1, #outs do
		ARDOUR.DSP.memset (outs[c], 0, n_samples)
	end
	if not Session:transport_rolling () then return end
	local pos = Session:transport_sample ()
	local at = 4800
	if at >= pos and at < pos + n_samples then
		for c = 1, #outs do
			outs[c]:array ()[at - pos + 1] = 0.5
		end
	end
end
