// JACK hands a port's buffer from the client that writes it to the clients that read it through
// its own futexes in shared memory, which ThreadSanitizer cannot see: with the test's clients
// and the live host in one process, every such hand-over looks like a race. The buffers are
// written only through libjack's MIDI writer, so reports with it on either side are JACK's.
extern "C" const char* __tsan_default_suppressions() {
    return "race:jack_midi_event_write\n";
}
