#include "SArchive.h"
#include "SDir.h"
#include "SDirListing.h"
#include "SFile.h"
#include "SFileSystem.h"
#include "SPermissions.h"
#include "TempDir.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

using zell::file::SDir;
using zell::file::SDirListing;
using zell::file::SFile;
using zell::file::SFileSystem;
using zell::file::SFolderItem;
using zell::file::SFolderTree;

namespace {

struct Receiver : zell::object::SIEventTarget {
    bool CleaningUp() const override { return false; }
    void SendBaseEvent(const zell::object::SBaseEvent& e) override {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(e);
    }
    std::vector<zell::object::SBaseEvent> Events() {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
    std::mutex mutex;
    std::vector<zell::object::SBaseEvent> events;
};

std::vector<std::string> Names(const SFolderTree& tree) {
    std::vector<std::string> out;
    tree.ForEach([&](const SFolderTree::Node& n) { out.emplace_back(n.item.name.Text()); });
    return out;
}

} // namespace

TEST(Files, OpenModesAndPathParts) {
    TempDir dir;
    std::string path = dir / "notes.txt";
    SFile file;
    EXPECT_FALSE(file.Open(path.c_str(), SFile::kBinary)); // no read, write or append
    EXPECT_FALSE(file.Open(nullptr, SFile::kRead));
    ASSERT_TRUE(file.Open(path.c_str(), SFile::kWrite | SFile::kBinary | SFile::kUpdate));
    EXPECT_STREQ(file.Mode().Text(), "wb+");
    EXPECT_EQ(std::string(file.Directory().Text()), dir.path + "/");
    EXPECT_STREQ(file.Name().Text(), "notes");
    EXPECT_STREQ(file.Extension().Text(), "txt");
    EXPECT_TRUE(file.WriteLine("first line"));
    std::string longLine(100, 'L');
    EXPECT_TRUE(file.WriteLine(longLine.c_str()));
    EXPECT_TRUE(file.WriteChar('z'));
    file.Close();
    EXPECT_EQ(file.Write("x", 1), 0u); // closed
    EXPECT_EQ(file.ReadChar(), EOF);

    unsigned int size = 0;
    EXPECT_TRUE(SFile::Readable(path.c_str(), size));
    EXPECT_EQ(size, 11u + 101u + 1u);
    EXPECT_FALSE(SFile::Readable(dir.path.c_str(), size));
    EXPECT_FALSE(SFile::Exists((dir / "absent").c_str()));
    EXPECT_TRUE(SFile::Exists(path.c_str()));
}

TEST(Files, ReadingLinesAndWholeFiles) {
    TempDir dir;
    std::string longLine(100, 'L');
    std::string path = dir.Write("data.txt", "first line\n" + longLine + "\nz");
    SFile file;
    ASSERT_TRUE(file.Open(path.c_str(), SFile::kRead));
    char line[8];
    EXPECT_TRUE(file.ReadLine(line, sizeof line, false));
    EXPECT_STREQ(line, "first l"); // bounded by the buffer
    EXPECT_TRUE(file.SeekBegin());
    SFile::Text text;
    EXPECT_TRUE(file.ReadLine(text));
    EXPECT_STREQ(text.Text(), "first line");
    EXPECT_TRUE(file.ReadLine(text));
    EXPECT_EQ(text.Length(), 100u);
    EXPECT_TRUE(file.ReadLine(text));
    EXPECT_STREQ(text.Text(), "z");
    EXPECT_FALSE(file.ReadLine(text));
    EXPECT_EQ(file.ReadAll(text), 113u);
    EXPECT_EQ(text.Length(), 113u);
    EXPECT_TRUE(file.Seek(6));
    EXPECT_EQ(file.ReadChar(), 'l');
    EXPECT_TRUE(file.SeekNext(4));
    EXPECT_EQ(file.Read(text, 3), 3u);
    EXPECT_STREQ(text.Text(), "LLL");
}

TEST(Folders, EntriesFindAndTraverse) {
    TempDir dir;
    dir.Write("b.txt", "b");
    dir.Write("A.txt", "a");
    dir.Write(".hidden", "h");
    ASSERT_TRUE(SDir::Create((dir / "sub").c_str(), 0755));
    dir.Write("sub/inner.so", "i");
    EXPECT_FALSE(SDir::Create((dir / "sub").c_str(), 0755));
    EXPECT_TRUE(SDir::Exists((dir / "sub").c_str()));
    EXPECT_FALSE(SDir::Exists((dir / "b.txt").c_str()));

    SDir folder;
    ASSERT_TRUE(folder.Open(dir.path.c_str()));
    std::set<std::string> visible, all;
    SDir::Text entry;
    for (bool more = folder.ReadFirst(false, entry); more; more = folder.ReadNext(false, entry))
        visible.insert(entry.Text());
    for (bool more = folder.ReadFirst(true, entry); more; more = folder.ReadNext(true, entry))
        all.insert(entry.Text());
    EXPECT_EQ(visible, (std::set<std::string>{"A.txt", "b.txt", "sub"}));
    EXPECT_EQ(all.size(), 4u);
    EXPECT_TRUE(folder.Find(false, "b", "txt"));
    EXPECT_STREQ(folder.Current().Text(), "b.txt");
    EXPECT_FALSE(folder.Find(false, "b", "so"));

    SFolderTree tree;
    EXPECT_EQ(folder.Traverse(&tree, 1, false), 3);
    EXPECT_EQ(Names(tree), (std::vector<std::string>{"sub", "A.txt", "b.txt"}));
    const SFolderTree* inner = nullptr;
    tree.ForEach([&](const SFolderTree::Node& n) {
        if (n.item.kind == SFolderItem::kFolder)
            inner = dynamic_cast<const SFolderTree*>(n.item.object.get());
    });
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(Names(*inner), (std::vector<std::string>{"inner.so"}));

    EXPECT_TRUE(folder.Change((dir / "made").c_str(), true));
    EXPECT_TRUE(SDir::Exists((dir / "made").c_str()));
    EXPECT_FALSE(folder.Change((dir / "absent").c_str(), false));
    EXPECT_FALSE(folder.Open(""));
    EXPECT_FALSE(folder.ReadNext(false, entry));
}

TEST(Folders, ListingReportsOnceAndLeavesNoThread) {
    TempDir dir;
    for (int i = 0; i < 20; ++i)
        dir.Write("f" + std::to_string(i), "");
    Receiver receiver;
    {
        SDirListing listing;
        EXPECT_FALSE(listing.Start(&receiver, (dir / "absent").c_str(), false));
        ASSERT_TRUE(listing.Start(&receiver, dir.path.c_str(), false));
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (receiver.Events().empty() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        listing.SendResult(); // already sent: nothing more
        std::vector<zell::object::SBaseEvent> events = receiver.Events();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].type, 10);
        EXPECT_EQ(events[0].kind, 1);
        EXPECT_EQ(events[0].value, 20);
        EXPECT_EQ(listing.Tree().Count(), 20);

        ASSERT_TRUE(listing.Start(&receiver, dir.path.c_str(), false));
        listing.SendResult(); // cuts it short or finds it done: one event either way
        EXPECT_EQ(receiver.Events().size(), 2u);
        EXPECT_EQ(receiver.Events()[1].value, listing.Tree().Count());
        ASSERT_TRUE(listing.Start(&receiver, dir.path.c_str(), false));
    } // destroyed while listing
    EXPECT_LE(receiver.Events().size(), 3u);
}

TEST(FileSystem, TypeSpaceRootAndHome) {
    char name[32];
    EXPECT_TRUE(SFileSystem::GetFileSystem("/", name));
    EXPECT_GT(strlen(name), 0u);
    EXPECT_TRUE(SFileSystem::GetFileSystem("/proc", name));
    EXPECT_STREQ(name, "proc");
    EXPECT_FALSE(SFileSystem::GetFileSystem("/no/such/path", name));
    EXPECT_STREQ(name, "unknown (error)");
    EXPECT_FALSE(SFileSystem::GetFileSystem(nullptr, name));

    long long total = -1, free = -1;
    EXPECT_EQ(SFileSystem::GetDriveSpace("/", total, free), 0);
    EXPECT_GT(total, 0);
    EXPECT_LE(free, total);
    EXPECT_NE(SFileSystem::GetDriveSpace("/no/such/path", total, free), 0);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(free, 0);

    char root[2];
    SFileSystem::Root(root);
    EXPECT_STREQ(root, "/");
    char home[4];
    setenv("HOME", "/home/somebody", 1);
    SFileSystem::Home(home, sizeof home);
    EXPECT_STREQ(home, "/ho");
}

TEST(Permissions, FlagsMakeModeBits) {
    zell::security::SPermissions p;
    using P = zell::security::SPermissions;
    EXPECT_TRUE(p.Set(P::kOwnerRead | P::kOwnerWrite | P::kGroupRead | P::kOthersRead));
    EXPECT_EQ(p.Mode(), 0644);
    p.Set(511);
    EXPECT_EQ(p.Mode(), 0777);
    p.Set(P::kOwnerExecute | 1024);
    EXPECT_EQ(p.Mode(), 0100);
}

TEST(Archive, BlocksAndTotals) {
    zell::file::archive::SArchive archive(new char[4](), 4);
    char data[10] = {};
    EXPECT_TRUE(archive.AddData(data, 10));
    EXPECT_TRUE(archive.AddObject(zell::object::SISerializable(6)));
    EXPECT_FALSE(archive.AddData(data, -1));
    EXPECT_FALSE(archive.AddData(nullptr, 3));
    EXPECT_FALSE(archive.AddData(data, 0x7FFFFFFF));
    EXPECT_EQ(archive.Blocks(), 2);
    EXPECT_EQ(archive.TotalSize(), 20);
    const char* before = archive.Buffer();
    EXPECT_TRUE(archive.Save("unused"));
    EXPECT_NE(archive.Buffer(), nullptr);
    EXPECT_NE(archive.Buffer(), before);
    EXPECT_TRUE(archive.Load("unused"));
    EXPECT_FALSE(archive.Save(nullptr));
}
