// A host built on lilv, as LV2 hosts are: a world over a scratch LV2_PATH that holds the built
// bundle (and the system's bundles, for the LV2 vocabularies and for plugins to compare with),
// instances whose ports it connects, feeds and reads, and their saved state.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ferrovane::test {

// One MIDI message at a frame of the block.
struct Lv2Event {
    uint32_t frame;
    std::vector<uint8_t> bytes;
    bool operator==(const Lv2Event&) const = default;
};

class Lv2World {
  public:
    // The built bundle in a scratch folder of its own, before the system's LV2 folder.
    Lv2World();
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    LilvWorld* World() const { return world; }
    // Null when the world holds no such plugin.
    const LilvPlugin* Plugin(const char* uri) const;
    LV2_URID Map(const char* uri);
    const char* Unmap(LV2_URID urid);
    LV2_URID_Map* MapFeature() { return &map; }
    LV2_URID_Unmap* UnmapFeature() { return &unmap; }
    // URID map and unmap, null-terminated.
    const LV2_Feature* const* Features() const { return features; }
    // A folder of this world's own, for saved states.
    const std::string& Scratch() const { return scratch; }

  private:
    std::string scratch;
    LilvWorld* world = nullptr;
    std::mutex lock;
    std::map<std::string, LV2_URID> ids;
    std::vector<std::string> uris;
    LV2_URID_Map map{};
    LV2_URID_Unmap unmap{};
    LV2_Feature mapFeature{};
    LV2_Feature unmapFeature{};
    const LV2_Feature* features[3] = {};
};

class Lv2Instance {
  public:
    // Instantiates and activates the plugin with every port connected: controls at their
    // defaults, atom inputs to buffers of 64 KiB, atom outputs to buffers of `outputCapacity`
    // bytes.
    explicit Lv2Instance(Lv2World& world, const char* uri = nullptr, double rate = 48000,
                         uint32_t outputCapacity = 65536);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool Ok() const { return instance != nullptr; }
    LilvInstance* Instance() const { return instance; }
    const LilvPlugin* Plugin() const { return plugin; }
    LV2_Handle Handle() const;

    void Set(const char* symbol, float value);
    float Get(const char* symbol) const;
    // The buffer an atom port is connected to.
    void* PortBuffer(const char* symbol);
    // Runs one block of `frames` with these events on the MIDI input; answers the MIDI output's
    // events. Every other atom output's events are kept for Notifications.
    std::vector<Lv2Event> Run(const std::vector<Lv2Event>& in, uint32_t frames = 256);
    // The same in three steps, for callers that watch the plugin's run alone: the ports made
    // ready, the run, the outputs read. Rearm makes the outputs ready again for another run of
    // the same input, as a host does before every run.
    void Feed(const std::vector<Lv2Event>& in);
    void Rearm();
    void RunFed(uint32_t frames) { lilv_instance_run(instance, frames); }
    std::vector<Lv2Event> Collect();
    // The types of the objects on the other atom outputs in the last block.
    const std::vector<LV2_URID>& Notifications() const { return notifications; }

    // The instance's state as lilv saves it, and a restore of one.
    LilvState* State();
    void Restore(const LilvState* state);
    // Into `folder` as state.ttl; answers the file's path.
    std::string Save(const std::string& folder);

  private:
    struct Port {
        uint32_t index;
        std::string symbol;
        bool control;
        bool input;
        bool midi;
        float value;
        std::vector<uint64_t> atoms; // 64-bit aligned
        uint32_t Capacity() const { return static_cast<uint32_t>(atoms.size() * sizeof atoms[0]); }
    };
    Port* Find(const char* symbol);
    const Port* Find(const char* symbol) const;
    void WriteInput(Port& port, const std::vector<Lv2Event>& in);

    Lv2World& world;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    std::vector<Port> ports;
    uint32_t outputCapacity;
    LV2_URID chunkType;
    std::vector<LV2_URID> notifications;
};

// Each MIDI event's bytes, for compact expectations.
std::vector<std::vector<int>> Bytes(const std::vector<Lv2Event>& events);

} // namespace ferrovane::test
