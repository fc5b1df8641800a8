// The matrix's colours, as indices into the shared palette.
#pragma once

namespace ferrovane {

// How a connected node looks: plain, the selected node, or listed in the multi-selection.
enum SNodeLook { kLookConnected, kLookSelected, kLookListed, kNodeLooks };

struct SNodeColours {
    int fill;
    int outline;
};

// A listed node that is also the selected node takes the listed fill and the selected outline.
inline constexpr SNodeColours kNodeColours[kNodeLooks] = {
    {10, 19}, // blue in grey
    {17, 17}, // yellow-green
    {7, 4},   // magenta in red
};

inline constexpr int kMatrixWatermark = 24; // grid lines and watermark texts
inline constexpr int kMatrixBand = 13;      // the selection rectangle, drawn inverting

} // namespace ferrovane
