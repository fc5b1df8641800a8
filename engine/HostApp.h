#pragma once

namespace ferrovane {

// Host application codes recognised from the host's product string, and their display names.
enum HostApp {
    kHostUnknown = 0,
    kHostSonar,
    kHostEnergyXT,
    kHostProject5,
    kHostFLStudio,
    kHostCantabile,
    kHostSaviHost,
    kHostMelodyne,
    kHostCubase,
    kHostCubase4,
    kHostSamplitude,
    kHostTracktion,
    kHostPhrazor,
    kHostUsine,
    kHostCount
};

// "(unknown)" for 0 and for codes outside the table.
const char* HostAppName(int code);

} // namespace ferrovane
