-- Run by ardour7-lua: a session whose track plays through a plug-in with
-- band 2 a +12 dB peak at 1806 Hz, saved. The track plays SinGen's sine
-- (-18 dBFS) at the frequency given, or with "impulse" a four-second region
-- that the test fills with a single impulse; with "absent" too, the track
-- has no plug-in. Arguments: the sine's frequency or "impulse", the
-- session's folder, and "absent" where wanted, or else optionally the
-- plug-in's name (or LV2 URI), its type (VST3, LXVST or LV2) and its
-- parameters as index=value, by default Tessvane LE (VST3) with band 2's
-- values. Prints the plug-in's latency as Ardour sees it.
local source, dir, absent = arg[1], arg[2], arg[3] == "absent"
local name, kind = "Tessvane LE", "VST3"
-- Normalised, as the VST 2.x build takes them: on, peak, 1806 Hz, +12 dB, Q 1.
local values = { [7] = 1.0, [8] = 0.0, [9] = 0.5, [10] = 0.90309, [11] = 0.5 }
if arg[3] and not absent then
  name, kind = arg[3], arg[4]
  values = {}
  for i = 5, #arg do
    local id, value = string.match (arg[i], "^(%d+)=(.+)$")
    values[tonumber (id)] = tonumber (value)
  end
end
AudioEngine:set_backend ("None (Dummy)", "", "")
assert (create_session (dir, "tv", 44100))
local track = Session:new_audio_track (1, 2, nil, 1, "Audio", -1, ARDOUR.TrackMode.Normal, true):front ()
local sine = ARDOUR.LuaAPI.new_luaproc (Session, "SinGen")
assert (not sine:isnil (), "no SinGen")
track:add_processor_by_index (sine, 0, nil, true)
if source == "impulse" then
  -- The region's file is the sine bounced; the test writes the impulse into it.
  local region = track:bounce_range (0, 4 * 44100, ARDOUR.InterThreadInfo (), sine, true, "impulse", false)
  assert (not region:isnil (), "no region")
  track:playlist ():add_region (region, Temporal.timepos_t (0), 1, false, 0, 0, false)
  track:remove_processor (sine, nil, true)
else
  ARDOUR.LuaAPI.set_processor_param (sine, 0, tonumber (source))
  ARDOUR.LuaAPI.set_processor_param (sine, 1, -18)
end
if not absent then
  local eq = ARDOUR.LuaAPI.new_plugin (Session, name, ARDOUR.PluginType[kind], "")
  assert (not eq:isnil (), "no " .. name)
  track:add_processor_by_index (eq, source == "impulse" and 0 or 1, nil, true)
  for id, value in pairs (values) do
    assert (ARDOUR.LuaAPI.set_processor_param (eq, id, value), "parameter " .. id)
  end
  print ("latency " .. eq:signal_latency ())
end
Session:save_state ("", false, false, false)
close_session ()
