#pragma once

namespace zell::security {

// A set of Unix permission bits built from the toolkit's flags.
class SPermissions {
  public:
    enum Flag {
        kOwnerRead = 1,
        kOwnerWrite = 2,
        kOwnerExecute = 4,
        kGroupRead = 8,
        kGroupWrite = 16,
        kGroupExecute = 32,
        kOthersRead = 64,
        kOthersWrite = 128,
        kOthersExecute = 256,
    };

    // The mode becomes the union of the bits of the flags set; unknown flags add nothing.
    bool Set(int flags);
    void Clean() {}
    int Mode() const { return mode; }

  private:
    int mode = 0;
};

} // namespace zell::security
