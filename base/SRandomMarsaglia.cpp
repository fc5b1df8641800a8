#include "SRandomMarsaglia.h"

#include <cstdint>

namespace zell::math::random::generator {

SRandomMarsaglia::SRandomMarsaglia() {
    Seed(314159265u);
}

void SRandomMarsaglia::Seed(unsigned int s) {
    SRandom::Seed(s);
    carry = 0;
    x = s ^ 0x1F123BB5u;
    y = s ^ 0x159A55E5u;
    z = s ^ 0x00F6A3D9u;
    w = s ^ 0x436CBAE9u;
    carry = y > z ? 1 : 0;
}

unsigned int SRandomMarsaglia::Integer() {
    unsigned int t = x + carry;
    unsigned int r;
    if (y > t) {
        r = y - t;
        carry = 0;
    } else {
        r = y - t - 18u;
        carry = 1;
    }
    x = y;
    y = z;
    z = r;
    value = r + 0x58C7699Cu;
    return value;
}

float SRandomMarsaglia::Float() {
    float integer = static_cast<float>(static_cast<int32_t>(Integer()));
    // Stored as a double so the x87 unit cannot keep extra precision into the final rounding.
    volatile double product = integer * 2.3283064370807974e-10;
    return static_cast<float>(product);
}

} // namespace zell::math::random::generator
