#include "SFilePath.h"

#include <gtest/gtest.h>
#include <string>

using zell::file::SFilePath;

namespace {

std::string Dir(const char* path, int extLength = -1) {
    char out[512] = "untouched";
    SFilePath::GetDir(out, path, extLength);
    return out;
}

std::pair<std::string, int> Ext(const char* path) {
    char out[512] = "untouched";
    int length = -7;
    SFilePath::GetExtension(out, path, &length);
    return {out, length};
}

std::pair<std::string, std::string> Name(const char* path) {
    char name[512] = "untouched", ext[512] = "untouched";
    SFilePath::GetName(name, path, ext, -1);
    return {name, ext};
}

} // namespace

TEST(PathDir, DirectoryKeepsItsSeparator) {
    EXPECT_EQ(Dir("/usr/lib/foo.so"), "/usr/lib/");
    EXPECT_EQ(Dir("/usr/lib/foo"), "/usr/lib/");
    EXPECT_EQ(Dir("/usr/lib/"), "/usr/lib/");
    EXPECT_EQ(Dir("C:\\Plugins\\Ferrovane.dll"), "C:\\Plugins\\");
    EXPECT_EQ(Dir("mixed/sep\\name.x"), "mixed/sep\\");
    EXPECT_EQ(Dir("/usr/lib/foo.so", 2), "/usr/lib/");
}

TEST(PathDir, NoUsableSeparatorGivesEmpty) {
    EXPECT_EQ(Dir("foo.so"), "");
    EXPECT_EQ(Dir("/foo.so"), ""); // the separator is the first character
    std::string longName = "/dir/" + std::string(128, 'n') + ".so";
    EXPECT_EQ(Dir(longName.c_str()), "");
    std::string fits = "/dir/" + std::string(127, 'n') + ".so";
    EXPECT_EQ(Dir(fits.c_str()), "/dir/");
}

TEST(PathDir, BadInputWritesNothing) {
    EXPECT_EQ(Dir(""), "untouched");
    EXPECT_EQ(Dir(nullptr), "untouched");
    EXPECT_EQ(Dir("/"), "untouched");       // shorter than 2
    EXPECT_EQ(Dir("ab.c", 5), "untouched"); // shorter than extLength + 2
    SFilePath::GetDir(nullptr, "/a/b", -1);
}

TEST(PathExtension, LastDotOfLastComponent) {
    EXPECT_EQ(Ext("archive.tar.gz"), (std::pair<std::string, int>{"gz", 2}));
    EXPECT_EQ(Ext("/a.b/noext"), (std::pair<std::string, int>{"", 0}));
    EXPECT_EQ(Ext("name"), (std::pair<std::string, int>{"", 0}));
    EXPECT_EQ(Ext("/dir.d/"), (std::pair<std::string, int>{"", 0}));
    EXPECT_EQ(Ext("x"), (std::pair<std::string, int>{"", 0}));
    EXPECT_EQ(Ext("trailing."), (std::pair<std::string, int>{"", 0}));
    EXPECT_EQ(Ext(nullptr), (std::pair<std::string, int>{"untouched", -7}));
}

TEST(PathName, BaseNameAndExtension) {
    EXPECT_EQ(Name("/usr/lib/foo.so"), (std::pair<std::string, std::string>{"foo", "so"}));
    EXPECT_EQ(Name("archive.tar.gz"), (std::pair<std::string, std::string>{"archive.tar", "gz"}));
    EXPECT_EQ(Name("/usr/lib/"), (std::pair<std::string, std::string>{"", ""}));
    EXPECT_EQ(Name("plain"), (std::pair<std::string, std::string>{"plain", ""}));
    EXPECT_EQ(Name(""), (std::pair<std::string, std::string>{"untouched", "untouched"}));

    char dir[64], name[64], ext[64];
    SFilePath::GetPathData(dir, name, ext, "/home/u/ferrovane.so");
    EXPECT_STREQ(dir, "/home/u/");
    EXPECT_STREQ(name, "ferrovane");
    EXPECT_STREQ(ext, "so");
    SFilePath::GetPathData(dir, name, ext, "bare");
    EXPECT_STREQ(dir, "");
    EXPECT_STREQ(name, "bare");
}
