// A fixed ring of 512 MIDI events. Push drops the event when the ring is full. Never allocates.
#pragma once

#include "aeffect.h"

namespace ferrovane {

class MidiEventQueue {
  public:
    static constexpr int kCapacity = 512;

    MidiEventQueue() {
        for (VstMidiEvent& slot : slots)
            slot = VstMidiEvent{kVstMidiType, 24, 0, 0, 0, 0, {}, 0, 0, 0, 0};
    }

    bool Push(const VstMidiEvent& event) {
        if (count >= capacity) return false;
        ++count;
        slots[writePos] = event;
        writePos = (writePos + 1) & (kCapacity - 1);
        return true;
    }

    // Pushes next(i) for i from 0 to n - 1, skipping nulls, until the ring is full.
    template <typename F> void PushEach(int n, F next) {
        int pos = writePos, queued = count;
        for (int i = 0; i < n && queued < capacity; ++i)
            if (const VstMidiEvent* event = next(i)) {
                slots[pos] = *event;
                pos = (pos + 1) & (kCapacity - 1);
                ++queued;
            }
        writePos = pos;
        count = queued;
    }

    // Only on a non-empty queue.
    const VstMidiEvent& Take() {
        --count;
        const VstMidiEvent& event = slots[readPos];
        readPos = (readPos + 1) & (kCapacity - 1);
        return event;
    }

    // Hands every queued event, oldest first, to f and empties the queue. The ring is walked as
    // at most two straight runs, so the loop over a run has one moving pointer and one bound to
    // compare, and leaves a large f its registers.
    template <typename F> void Drain(F f) {
        if (count == 0) return;
        const int first = count < kCapacity - readPos ? count : kCapacity - readPos;
        for (VstMidiEvent *slot = slots + readPos, *end = slot + first; slot != end; ++slot)
            f(*slot);
        for (VstMidiEvent *slot = slots, *end = slots + (count - first); slot != end; ++slot)
            f(*slot);
        readPos = (readPos + count) & (kCapacity - 1);
        count = 0;
    }

    bool Empty() const { return count == 0; }
    int Count() const { return count; }

  private:
    static_assert((kCapacity & (kCapacity - 1)) == 0, "the wrap is a mask");
    int writePos = 0;
    int readPos = 0;
    int capacity = kCapacity;
    int count = 0;
    VstMidiEvent slots[kCapacity];
};

} // namespace ferrovane
