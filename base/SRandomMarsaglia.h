#pragma once

#include "SRandom.h"

namespace zell::math::random::generator {

// A subtract-with-borrow generator. Its sequence is part of the product's behaviour: the same
// seed gives the same numbers on every architecture. A new generator has the state of seed
// 314159265.
class SRandomMarsaglia : public SRandom {
  public:
    SRandomMarsaglia();

    unsigned int Integer() override;
    // Integer() read as signed and scaled into about [-0.5, +0.5].
    float Float() override;
    void Seed(unsigned int s) override;

  private:
    unsigned int x, y, z, w;
    unsigned int carry; // 0 or 1
};

} // namespace zell::math::random::generator
