#pragma once

namespace ferrovane::host {

// Like most hosts, ours takes a write to a connection the other side has dropped as a failed
// write (EPIPE), not as the end of the process. Once per process; any thread.
void IgnoreBrokenPipes();

} // namespace ferrovane::host
