// Which entry of an authority file a client of this machine presents to a local display.
#include "AuthorityFile.h"
#include "SXAuthority.h"

#include <gtest/gtest.h>

#include <string>

namespace zell::gui {
namespace {

using Entry = AuthorityFile::Entry;

std::string Data(const SXAuthority& a) {
    return {reinterpret_cast<const char*>(a.data), a.dataLength};
}

TEST(Authority, TheEntryOfThisHostAndDisplayOrOfAnyIsTaken) {
    AuthorityFile file;
    ASSERT_TRUE(file.Write({
        {AuthorityFile::kLocal, "elsewhere", "7", "MIT-MAGIC-COOKIE-1", "other host......"},
        {AuthorityFile::kLocal, "here", "8", "MIT-MAGIC-COOKIE-1", "other display..."},
        {0, "\x7f\x00\x00\x01", "7", "MIT-MAGIC-COOKIE-1", "over tcp........"},
        {AuthorityFile::kLocal, "here", "7", "SOMETHING-ELSE", "unknown kind...."},
        {AuthorityFile::kLocal, "here", "7", "MIT-MAGIC-COOKIE-1", "this one........"},
        {AuthorityFile::kWild, "", "", "MIT-MAGIC-COOKIE-1", "later..........."},
    }));
    SXAuthority a = SXAuthority::ForLocalDisplay(7, "here", file.Path().c_str());
    ASSERT_EQ(a.kind, SXAuthority::kCookie);
    EXPECT_EQ(std::string(a.name, a.nameLength), "MIT-MAGIC-COOKIE-1");
    EXPECT_EQ(Data(a), "this one........");
    // Display 9 of this host: only the entry for any display applies.
    EXPECT_EQ(Data(SXAuthority::ForLocalDisplay(9, "here", file.Path().c_str())),
              "later...........");
    // Another host name: only the wild entry.
    EXPECT_EQ(Data(SXAuthority::ForLocalDisplay(7, "there", file.Path().c_str())),
              "later...........");
}

TEST(Authority, NothingAppliesOrOnlyXlibCanComputeIt) {
    AuthorityFile file;
    ASSERT_TRUE(file.Write({{AuthorityFile::kLocal, "here", "7", "MIT-MAGIC-COOKIE-1", "x"}}));
    EXPECT_EQ(SXAuthority::ForLocalDisplay(8, "here", file.Path().c_str()).kind,
              SXAuthority::kNone);
    EXPECT_EQ(SXAuthority::ForLocalDisplay(7, "here", "/nonexistent/file").kind,
              SXAuthority::kNone);
    // An XDM-AUTHORIZATION-1 entry wins over the cookie wherever it stands.
    ASSERT_TRUE(file.Write({{AuthorityFile::kLocal, "here", "7", "MIT-MAGIC-COOKIE-1", "x"},
                            {AuthorityFile::kLocal, "here", "", "XDM-AUTHORIZATION-1", "key"}}));
    EXPECT_EQ(SXAuthority::ForLocalDisplay(7, "here", file.Path().c_str()).kind,
              SXAuthority::kUnknown);
    // A file cut off in the middle of an entry: the entries before it still count.
    ASSERT_TRUE(file.Write({{AuthorityFile::kLocal, "here", "7", "MIT-MAGIC-COOKIE-1", "x"}}));
    FILE* f = fopen(file.Path().c_str(), "ab");
    ASSERT_NE(f, nullptr);
    fputs("\x01", f);
    fclose(f);
    EXPECT_EQ(Data(SXAuthority::ForLocalDisplay(7, "here", file.Path().c_str())), "x");
}

} // namespace
} // namespace zell::gui
