#include "SGlobals.h"

#include "SFilePath.h"
#include "ThreadSleep.h"

#include <vector>
#include <x86intrin.h>

namespace zell::gui {

SGlobals::SGlobals() {
    threading::ThreadSleep(3);
    random.Seed(static_cast<unsigned int>(__rdtsc()));
}

void SGlobals::SetBinaryData() {
    if (!binaryPath || binaryPath->Length() == 0) return;
    const char* path = binaryPath->Text();
    std::vector<char> file(binaryPath->Used()), extension(binaryPath->Used()),
        folder(binaryPath->Used());
    file::SFilePath::GetName(file.data(), path, extension.data(), -1);
    name = file.data();
    if (extension[0]) name.Append('.').Append(extension.data());
    folder[0] = 0;
    file::SFilePath::GetDir(folder.data(), path, -1);
    directory = folder.data();
}

} // namespace zell::gui
