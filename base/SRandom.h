#pragma once

namespace zell::math::random::generator {

// The base of the toolkit's pseudo-random generators.
class SRandom {
  public:
    SRandom() = default;
    SRandom(const SRandom&) = delete;
    SRandom& operator=(const SRandom&) = delete;
    virtual ~SRandom() = default;

    virtual unsigned int Integer() = 0;
    virtual float Float() = 0;
    virtual void Seed(unsigned int s) {
        value = s;
        seed = s;
    }

    // The last number produced, or the seed before the first.
    unsigned int Value() const { return value; }
    unsigned int SeedValue() const { return seed; }

  protected:
    unsigned int value = 0;
    unsigned int seed = 0;
};

} // namespace zell::math::random::generator
