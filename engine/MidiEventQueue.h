// A fixed ring of 512 MIDI events. Push drops the event when the ring is full. Never allocates.
#pragma once

#include "MidiEvent.h"

#include <cstring>

namespace ferrovane {

class MidiEventQueue {
  public:
    static constexpr int kCapacity = 512;

    bool Push(const MidiEvent& event) {
        if (count >= capacity) return false;
        ++count;
        slots[writePos] = event;
        writePos = (writePos + 1) & (kCapacity - 1);
        return true;
    }

    // Calls each(push) once; push(frame, midi) queues a message at `frame` with the four MIDI
    // bytes of `midi` (status in the low byte), until the ring is full. Only those two fields are
    // written: the slot's others keep what they held (the record's defaults for a front end that
    // queues no whole events). The ring's position stays in registers for the caller's whole walk.
    template <typename F> void PushMessages(F each) {
        int pos = writePos, queued = count;
        each([&](int32_t frame, uint32_t midi) {
            if (queued >= capacity) return;
            MidiEvent& slot = slots[pos];
            slot.frame = frame;
            memcpy(slot.midi, &midi, sizeof midi);
            pos = (pos + 1) & (kCapacity - 1);
            ++queued;
        });
        writePos = pos;
        count = queued;
    }

    // Pushes the 32 bytes at next(i) for i from 0 to n - 1, skipping nulls, until the ring is
    // full. The bytes are copied as they are: a front end's own event record may stand behind
    // them.
    template <typename F> void PushEach(int n, F next) {
        int pos = writePos, queued = count;
        for (int i = 0; i < n && queued < capacity; ++i)
            if (const void* event = next(i)) {
                memcpy(&slots[pos], event, sizeof(MidiEvent));
                pos = (pos + 1) & (kCapacity - 1);
                ++queued;
            }
        writePos = pos;
        count = queued;
    }

    // Only on a non-empty queue.
    const MidiEvent& Take() {
        --count;
        const MidiEvent& event = slots[readPos];
        readPos = (readPos + 1) & (kCapacity - 1);
        return event;
    }

    // Hands every queued event, oldest first, to f and empties the queue. The ring is walked as
    // at most two straight runs, so the loop over a run has one moving pointer and one bound to
    // compare, and leaves a large f its registers.
    template <typename F> void Drain(F f) {
        if (count == 0) return;
        const int first = count < kCapacity - readPos ? count : kCapacity - readPos;
        for (MidiEvent *slot = slots + readPos, *end = slot + first; slot != end; ++slot)
            f(*slot);
        for (MidiEvent *slot = slots, *end = slots + (count - first); slot != end; ++slot)
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
    MidiEvent slots[kCapacity];
};

} // namespace ferrovane
