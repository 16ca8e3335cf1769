// File names as URIs and back, as SARIF logs and editors name files.
#include "checker/analysis/uri.h"

#include <gtest/gtest.h>

namespace morvcfg {
namespace {

TEST(UriTest, FileUrisNameThePathsEditorsMean) {
    const struct {
        const char* uri;
        const char* path;
    } cases[] = {
        {"file:///home/me/board.cfg", "/home/me/board.cfg"},
        {"file:///home/me/my%20board.cfg", "/home/me/my board.cfg"},
        {"file:///home/me/%E3%83%9C.cfg", "/home/me/\xE3\x83\x9C.cfg"},
        {"file:///home/me/%e3%83%9c.cfg", "/home/me/\xE3\x83\x9C.cfg"},  // lower-case hexadecimal
        {"file:///home/me/100%.cfg", "/home/me/100%.cfg"},               // a % that encodes nothing
        {"file:///home/me/a%4", "/home/me/a%4"},
        {"file:///C:/w/main.cfg", "C:/w/main.cfg"},  // a drive, without the slash before it
        {"file:///c%3A/w/main.cfg", "c:/w/main.cfg"},
        {"file://server/share/b.cfg", "//server/share/b.cfg"},
        {"untitled:board.cfg", ""},
        {"https://example.org/b.cfg", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(path_of_file_uri(c.uri), c.path) << c.uri;
    }
    // Back again: what a path becomes is the path again.
    for (const char* path : {"/home/me/my board.cfg", "C:/w/main.cfg", "//server/share/b.cfg"}) {
        EXPECT_EQ(path_of_file_uri(uri_of(path)), path) << path;
    }
}

}  // namespace
}  // namespace morvcfg
