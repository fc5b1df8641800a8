// What the product calls itself, whatever the format it is loaded as.
#pragma once

namespace ferrovane {

constexpr const char* kProductName = "Ferrovane";
constexpr const char* kVendorDomain = "www.ferrovane.org";
constexpr const char* kSupportAddress = "support@ferrovane.org";
constexpr int kVendorVersion = 101; // shown as "1.01"

} // namespace ferrovane
