#include "SPermissions.h"

namespace zell::security {

namespace {

struct FlagBits {
    int flag;
    int bits;
};

constexpr FlagBits kBits[] = {
    {SPermissions::kOwnerRead, 0400},    {SPermissions::kOwnerWrite, 0200},
    {SPermissions::kOwnerExecute, 0100}, {SPermissions::kGroupRead, 040},
    {SPermissions::kGroupWrite, 020},    {SPermissions::kGroupExecute, 010},
    {SPermissions::kOthersRead, 04},     {SPermissions::kOthersWrite, 02},
    {SPermissions::kOthersExecute, 01},
};

} // namespace

bool SPermissions::Set(int flags) {
    mode = 0;
    for (const FlagBits& b : kBits)
        if (flags & b.flag) mode |= b.bits;
    return true;
}

} // namespace zell::security
