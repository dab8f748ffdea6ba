-- Run by ardour7-lua: a session whose track plays SinGen's sine (-18 dBFS)
-- through Tessvane LE (VST3) with band 2 a +12 dB peak at 1806 Hz, saved.
-- Arguments: the sine's frequency, the session's folder. Prints the
-- plug-in's latency as Ardour sees it.
local freq, dir = tonumber (arg[1]), arg[2]
AudioEngine:set_backend ("None (Dummy)", "", "")
assert (create_session (dir, "tv", 44100))
local track = Session:new_audio_track (1, 2, nil, 1, "Audio", -1, ARDOUR.TrackMode.Normal, true):front ()
local sine = ARDOUR.LuaAPI.new_luaproc (Session, "SinGen")
assert (not sine:isnil (), "no SinGen")
track:add_processor_by_index (sine, 0, nil, true)
ARDOUR.LuaAPI.set_processor_param (sine, 0, freq)
ARDOUR.LuaAPI.set_processor_param (sine, 1, -18)
local eq = ARDOUR.LuaAPI.new_plugin (Session, "Tessvane LE", ARDOUR.PluginType.VST3, "")
assert (not eq:isnil (), "no Tessvane LE")
track:add_processor_by_index (eq, 1, nil, true)
-- Normalised, as the VST 2.x build takes them: on, peak, 1806 Hz, +12 dB, Q 1.
for id, value in pairs ({ [7] = 1.0, [8] = 0.0, [9] = 0.5, [10] = 0.90309, [11] = 0.5 }) do
  ARDOUR.LuaAPI.set_processor_param (eq, id, value)
end
print ("latency " .. eq:signal_latency ())
Session:save_state ("", false, false, false)
close_session ()
