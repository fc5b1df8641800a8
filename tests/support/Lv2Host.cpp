#include "Lv2Host.h"

#include "Lv2Uris.h"

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/state/state.h>
#include <lv2/midi/midi.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace ferrovane::test {

namespace {

constexpr uint32_t kInputCapacity = 65536;

LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<Lv2World*>(handle)->Map(uri);
}

const char* UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    return static_cast<Lv2World*>(handle)->Unmap(urid);
}

const void* PortValue(const char* symbol, void* data, uint32_t* size, uint32_t* type) {
    auto* self = static_cast<std::pair<const Lv2Instance*, LV2_URID>*>(data);
    static thread_local float value;
    value = self->first->Get(symbol);
    *size = sizeof value;
    *type = self->second;
    return &value;
}

void SetPortValue(const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
    if (size == sizeof(float))
        static_cast<Lv2Instance*>(data)->Set(symbol, *static_cast<const float*>(value));
}

} // namespace

Lv2World::Lv2World()
    : scratch(std::string(FERROVANE_TEST_OUTPUT) + "/lv2-" + std::to_string(getpid()) + "-" +
              std::to_string(reinterpret_cast<uintptr_t>(this))) {
    namespace fs = std::filesystem;
    fs::remove_all(scratch);
    fs::create_directories(scratch + "/path");
    fs::create_directory_symlink(FERROVANE_LV2_BUNDLE, scratch + "/path/ferrovane.lv2");
    map = LV2_URID_Map{this, MapUri};
    unmap = LV2_URID_Unmap{this, UnmapUrid};
    mapFeature = LV2_Feature{LV2_URID__map, &map};
    unmapFeature = LV2_Feature{LV2_URID__unmap, &unmap};
    features[0] = &mapFeature;
    features[1] = &unmapFeature;
    world = lilv_world_new();
    LilvNode* path = lilv_new_string(world, (scratch + "/path:/usr/lib/lv2").c_str());
    lilv_world_set_option(world, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(world);
    // A 32-bit lilv under an emulator reads no folder of a filesystem whose entries need 64-bit
    // offsets (its readdir fails with EOVERFLOW), so it finds nothing on the path: the bundle is
    // then loaded by its own name, as a host adds a bundle the user names.
    if (!Plugin(lv2::kPluginUri)) {
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, FERROVANE_LV2_BUNDLE "/");
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
    }
}

Lv2World::~Lv2World() {
    lilv_world_free(world);
    std::filesystem::remove_all(scratch);
}

const LilvPlugin* Lv2World::Plugin(const char* uri) const {
    LilvNode* node = lilv_new_uri(world, uri);
    const LilvPlugin* p = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
    lilv_node_free(node);
    return p;
}

LV2_URID Lv2World::Map(const char* uri) {
    std::lock_guard<std::mutex> hold(lock);
    auto [at, added] = ids.emplace(uri, static_cast<LV2_URID>(uris.size() + 1));
    if (added) uris.emplace_back(uri);
    return at->second;
}

const char* Lv2World::Unmap(LV2_URID urid) {
    std::lock_guard<std::mutex> hold(lock);
    return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
}

Lv2Instance::Lv2Instance(Lv2World& world, const char* uri, double rate, uint32_t outputCapacity)
    : world(world), outputCapacity(outputCapacity), chunkType(world.Map(LV2_ATOM__Chunk)) {
    plugin = world.Plugin(uri ? uri : lv2::kPluginUri);
    if (!plugin) return;
    LilvWorld* w = world.World();
    LilvNode* controlClass = lilv_new_uri(w, LV2_CORE__ControlPort);
    LilvNode* inputClass = lilv_new_uri(w, LV2_CORE__InputPort);
    LilvNode* midiEvent = lilv_new_uri(w, LV2_MIDI__MidiEvent);
    const uint32_t n = lilv_plugin_get_num_ports(plugin);
    std::vector<float> defaults(n);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    for (uint32_t i = 0; i < n; ++i) {
        const LilvPort* p = lilv_plugin_get_port_by_index(plugin, i);
        Port port{i,
                  lilv_node_as_string(lilv_port_get_symbol(plugin, p)),
                  lilv_port_is_a(plugin, p, controlClass),
                  lilv_port_is_a(plugin, p, inputClass),
                  lilv_port_supports_event(plugin, p, midiEvent),
                  defaults[i] == defaults[i] ? defaults[i] : 0.0f,
                  {}};
        if (!port.control)
            port.atoms.resize((port.input ? kInputCapacity : outputCapacity) / sizeof(uint64_t));
        ports.push_back(std::move(port));
    }
    lilv_node_free(controlClass);
    lilv_node_free(inputClass);
    lilv_node_free(midiEvent);
    instance = lilv_plugin_instantiate(plugin, rate, world.Features());
    if (!instance) return;
    for (Port& port : ports)
        lilv_instance_connect_port(instance, port.index,
                                   port.control ? static_cast<void*>(&port.value)
                                                : static_cast<void*>(port.atoms.data()));
    lilv_instance_activate(instance);
}

Lv2Instance::~Lv2Instance() {
    if (!instance) return;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

LV2_Handle Lv2Instance::Handle() const {
    return instance ? lilv_instance_get_handle(instance) : nullptr;
}

Lv2Instance::Port* Lv2Instance::Find(const char* symbol) {
    for (Port& port : ports)
        if (port.symbol == symbol) return &port;
    return nullptr;
}

const Lv2Instance::Port* Lv2Instance::Find(const char* symbol) const {
    for (const Port& port : ports)
        if (port.symbol == symbol) return &port;
    return nullptr;
}

void Lv2Instance::Set(const char* symbol, float value) {
    if (Port* port = Find(symbol); port && port->control) port->value = value;
}

void* Lv2Instance::PortBuffer(const char* symbol) {
    Port* port = Find(symbol);
    return port && !port->control ? port->atoms.data() : nullptr;
}

float Lv2Instance::Get(const char* symbol) const {
    const Port* port = Find(symbol);
    return port && port->control ? port->value : 0.0f;
}

void Lv2Instance::WriteInput(Port& port, const std::vector<Lv2Event>& in) {
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, world.MapFeature());
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(port.atoms.data()),
                              port.Capacity());
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    const LV2_URID midi = world.Map(LV2_MIDI__MidiEvent);
    for (const Lv2Event& e : in) {
        lv2_atom_forge_frame_time(&forge, e.frame);
        lv2_atom_forge_atom(&forge, static_cast<uint32_t>(e.bytes.size()), midi);
        if (!e.bytes.empty()) // an empty event has no body
            lv2_atom_forge_write(&forge, e.bytes.data(), static_cast<uint32_t>(e.bytes.size()));
    }
    lv2_atom_forge_pop(&forge, &sequence);
}

std::vector<Lv2Event> Lv2Instance::Run(const std::vector<Lv2Event>& in, uint32_t frames) {
    Feed(in);
    RunFed(frames);
    return Collect();
}

void Lv2Instance::Feed(const std::vector<Lv2Event>& in) {
    for (Port& port : ports)
        if (!port.control && port.input) WriteInput(port, port.midi ? in : std::vector<Lv2Event>{});
    Rearm();
}

void Lv2Instance::Rearm() {
    for (Port& port : ports) {
        if (port.control || port.input) continue;
        auto* atom = reinterpret_cast<LV2_Atom*>(port.atoms.data());
        atom->size = port.Capacity() - sizeof(LV2_Atom);
        atom->type = chunkType;
    }
}

std::vector<Lv2Event> Lv2Instance::Collect() {
    const LV2_URID midi = world.Map(LV2_MIDI__MidiEvent);
    std::vector<Lv2Event> out;
    notifications.clear();
    for (Port& port : ports) {
        if (port.control || port.input) continue;
        const auto* seq = reinterpret_cast<const LV2_Atom_Sequence*>(port.atoms.data());
        LV2_ATOM_SEQUENCE_FOREACH(seq, ev) {
            const auto* body = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&ev->body));
            if (port.midi && ev->body.type == midi)
                out.push_back({static_cast<uint32_t>(ev->time.frames),
                               std::vector<uint8_t>(body, body + ev->body.size)});
            else if (!port.midi)
                notifications.push_back(
                    reinterpret_cast<const LV2_Atom_Object*>(&ev->body)->body.otype);
        }
    }
    return out;
}

LilvState* Lv2Instance::State() {
    std::pair<const Lv2Instance*, LV2_URID> self{this, world.Map(LV2_ATOM__Float)};
    const std::string dir = world.Scratch() + "/state-files";
    return lilv_state_new_from_instance(plugin, instance, world.MapFeature(), dir.c_str(),
                                        dir.c_str(), dir.c_str(), dir.c_str(), PortValue, &self,
                                        LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, world.Features());
}

void Lv2Instance::Restore(const LilvState* state) {
    lilv_state_restore(state, instance, SetPortValue, this, 0, world.Features());
}

std::string Lv2Instance::Save(const std::string& folder) {
    LilvState* state = State();
    lilv_state_save(world.World(), world.MapFeature(), world.UnmapFeature(), state, nullptr,
                    folder.c_str(), "state.ttl");
    lilv_state_free(state);
    return folder + "/state.ttl";
}

std::vector<std::vector<int>> Bytes(const std::vector<Lv2Event>& events) {
    std::vector<std::vector<int>> out;
    for (const Lv2Event& e : events)
        out.emplace_back(e.bytes.begin(), e.bytes.end());
    return out;
}

} // namespace ferrovane::test
