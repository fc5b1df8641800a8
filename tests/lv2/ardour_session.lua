-- Ardour headless (ardour7-lua), on its dummy backend: a session with a MIDI track that runs the
-- LV2 plugin and a MIDI bus "Sink" fed by the track's output, whose MIDI monitor records what
-- leaves the track. `create` makes the session in arg[2] and loads the plugin's preset arg[3];
-- `reopen` loads the saved session. Either way it then plays the raw MIDI messages of the file
-- arg[4] into the track's input, one a cycle, and prints each message that reaches the bus as
-- "routed XX YY ZZ", then saves and closes the session.
local mode, folder, preset, messages = arg[1], arg[2], arg[3], arg[4]
local kUri = "https://www.ferrovane.org/lv2/ferrovane"

ARDOUR.config():set_hide_dummy_backend(false)
AudioEngine:set_backend("None (Dummy)", "", ""):set_device_name("Silence")

local track, sink
if mode == "create" then
  assert(create_session(folder, "routing", 48000), "no session")
  local midi = ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1)
  track = Session:new_midi_track(midi, midi, true, ARDOUR.PluginInfo(), nil, nil, 1, "Router",
    ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false):front()
  sink = Session:new_midi_route(nil, 1, "Sink", false, ARDOUR.PluginInfo(), nil,
    ARDOUR.PresentationInfo.Flag.MidiBus, ARDOUR.PresentationInfo.max_order):front()
  local plugin = ARDOUR.LuaAPI.new_plugin(Session, kUri, ARDOUR.PluginType.LV2, "")
  assert(not plugin:isnil(), "the plugin is not found by its URI")
  assert(track:add_processor_by_index(plugin, 0, nil, true) == 0)
  local p = plugin:to_insert():plugin(0)
  assert(p:load_preset(p:preset_by_label(preset)), "the preset does not load")
  sink:add_processor_by_index(ARDOUR.LuaAPI.new_luaproc(Session, "ACE MIDI Monitor"), 0, nil, true)
  track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput,
    PBD.GroupControlDisposition.NoGroup)
  track:output():disconnect_all(nil)
  sink:input():disconnect_all(nil)
  track:output():nth(0):connect(sink:input():nth(0):name())
else
  assert(load_session(folder, "routing"), "the session does not load")
  track = Session:route_by_name("Router"):to_track()
  sink = Session:route_by_name("Sink")
  assert(track:nth_plugin(0):display_name() == "Ferrovane", "the plugin is not on the track")
end

-- Ardour's own MIDI output for the virtual keyboard feeds the track.
local keyboard
local _, ports = AudioEngine:get_ports(ARDOUR.DataType("midi"), ARDOUR.PortList())
for port in ports[2]:iter() do
  if port:name() == "x-virtual-keyboard" then keyboard = port:to_asyncmidiport() end
end
track:input():disconnect_all(nil)
track:input():nth(0):connect(keyboard:name())

local monitor = sink:nth_plugin(0):to_insert():plugin(0):to_luaproc():shmem()
local kRing = 60 -- the monitor keeps the last 20 events, three values each
-- The ring's position once nothing has reached the monitor for a while (bounded, for a loaded
-- machine).
local function settled()
  local pos = monitor:atomic_get_int(0)
  for _ = 1, 50 do
    ARDOUR.LuaAPI.usleep(300000)
    local now = monitor:atomic_get_int(0)
    if now == pos then break end
    pos = now
  end
  return pos
end

-- Ardour's own messages at the start (controller resets) go first.
local mark = settled()
local f = assert(io.open(messages, "rb"))
local bytes = f:read("a")
f:close()
-- One message a cycle: Ardour orders the messages of one cycle by their kind.
local parser = ARDOUR.RawMidiParser()
local pos = mark
for i = 1, #bytes do
  if parser:process_byte(bytes:byte(i)) then
    keyboard:write(parser:midi_buffer(), parser:buffer_size(), 0)
    for _ = 1, 500 do
      if monitor:atomic_get_int(0) ~= pos then break end
      ARDOUR.LuaAPI.usleep(10000)
    end
    pos = monitor:atomic_get_int(0)
  end
end
pos = settled()
local ring = monitor:to_int(1):array()
local at = mark
while at ~= pos do
  at = at % kRing + 1
  local e = (at - 1) * 3
  print(string.format("routed %02X %02X %02X", ring[e + 1], ring[e + 2], ring[e + 3]))
end
Session:save_state("", false, false, false, false, false)
close_session()
