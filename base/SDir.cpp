#include "SDir.h"

#include "SFilePath.h"
#include "SFolderItem.h"
#include "SThread.h"

#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace zell::file {

bool SDir::Open(const char* directory) {
    Close();
    if (!directory || !*directory) return false;
    stream = opendir(directory);
    if (!stream) return false;
    path = directory;
    return true;
}

void SDir::Close() {
    if (stream) closedir(stream);
    stream = nullptr;
    current.Clear(false);
}

void SDir::Rewind() {
    if (stream) rewinddir(stream);
}

bool SDir::Change(const char* directory, bool create) {
    if (!directory) return false;
    if (create && !Exists(directory) && !Create(directory, 0755)) return false;
    return Open(directory);
}

bool SDir::Exists(const char* directory) {
    struct stat info;
    return directory && stat(directory, &info) == 0 && S_ISDIR(info.st_mode);
}

bool SDir::ReadFirst(bool hidden, Text& entry) {
    Rewind();
    return ReadNext(hidden, entry);
}

bool SDir::ReadNext(bool hidden, Text& entry) {
    entry.Clear(false);
    if (!stream) return false;
    while (const dirent* e = readdir(stream)) {
        const char* n = e->d_name;
        if (!strcmp(n, ".") || !strcmp(n, "..") || (n[0] == '.' && !hidden)) continue;
        current = n;
        entry = n;
        return true;
    }
    current.Clear(false);
    return false;
}

bool SDir::Find(bool hidden, const char* name, const char* extension) {
    Text entry;
    for (bool more = ReadFirst(hidden, entry); more; more = ReadNext(hidden, entry)) {
        std::vector<char> base(entry.Used()), ext(entry.Used());
        SFilePath::GetName(base.data(), entry.Text(), ext.data(), -1);
        if ((!name || !strcmp(name, base.data())) && (!extension || !strcmp(extension, ext.data())))
            return true;
    }
    return false;
}

bool SDir::Create(const char* directory, int mode) {
    return directory && mkdir(directory, static_cast<mode_t>(mode)) == 0;
}

int SDir::KindOf(const char* full) {
    struct stat info;
    if (lstat(full, &info) != 0) return SFolderItem::kOther;
    if (S_ISDIR(info.st_mode)) return SFolderItem::kFolder;
    return S_ISREG(info.st_mode) ? SFolderItem::kFile : SFolderItem::kOther;
}

int SDir::Traverse(SFolderTree* tree, int depth, bool hidden) {
    if (!tree || !stream) return 0;
    Rewind();
    int added = 0;
    Text entry;
    while (!threading::SThread::StopRequested() && ReadNext(hidden, entry)) {
        Text full(path);
        if (!SFilePath::IsSeparator(full.Text()[full.Length() - 1])) full.Append('/');
        full.Append(entry.Text());
        SFolderItem item(KindOf(full.Text()), entry.Text());
        SDir sub;
        if (item.kind == SFolderItem::kFolder && depth > 0 && sub.Open(full.Text())) {
            auto below = std::make_shared<SFolderTree>();
            sub.Traverse(below.get(), depth - 1, hidden);
            item.object = below;
        }
        tree->ins(item);
        ++added;
    }
    return added;
}

} // namespace zell::file
