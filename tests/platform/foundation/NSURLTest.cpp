#include "foundation/NSURL.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TempSandbox.h"

namespace {

using Components = std::vector<std::string>;

Ref<NSURL> url(std::string_view text) {
    auto result = NSURL::URLWithString(text);
    EXPECT_TRUE(result) << text;
    return result ? result : NSURL::URLWithString("invalid:");
}

TEST(NSURL, ReadsEachPiece) {
    auto full = url("HTTP://Example.COM:8080/a/b.txt?x=1&y=%20#f%20g");
    EXPECT_EQ(full->scheme(), "HTTP");
    EXPECT_EQ(full->host(), "Example.COM");
    EXPECT_EQ(full->port(), 8080);
    EXPECT_EQ(full->path(), "/a/b.txt");
    EXPECT_EQ(full->lastPathComponent(), "b.txt");
    EXPECT_EQ(full->pathExtension(), "txt");
    EXPECT_EQ(full->query(), "x=1&y=%20");
    EXPECT_EQ(full->fragment(), "f%20g");
    EXPECT_EQ(full->absoluteString(), "HTTP://Example.COM:8080/a/b.txt?x=1&y=%20#f%20g");
    EXPECT_EQ(full->description(), full->absoluteString());
    EXPECT_FALSE(full->isFileURL());

    auto bare = url("http://example.com");
    EXPECT_EQ(bare->path(), "");
    EXPECT_TRUE(bare->pathComponents().empty());
    EXPECT_EQ(bare->lastPathComponent(), "");
    EXPECT_FALSE(bare->port());
    EXPECT_FALSE(bare->query());
    EXPECT_FALSE(bare->fragment());
    EXPECT_FALSE(bare->user());

    auto empty = url("http://host:/?#");
    EXPECT_FALSE(empty->port());
    EXPECT_EQ(empty->path(), "/");
    EXPECT_EQ(empty->query(), "");
    EXPECT_EQ(empty->fragment(), "");

    auto login = url("ftp://us%40er:p%3Ass@h/");
    EXPECT_EQ(login->user(), "us@er");
    EXPECT_EQ(login->password(), "p:ss");
    EXPECT_EQ(login->host(), "h");
}

TEST(NSURL, HostsOfEveryShape) {
    auto ipv6 = url("http://[::1]:8080/status");
    EXPECT_EQ(ipv6->host(), "::1");
    EXPECT_EQ(ipv6->port(), 8080);
    EXPECT_EQ(url("http://[2001:db8::1]")->host(), "2001:db8::1");
    EXPECT_EQ(url("http://127.0.0.1:0/")->port(), 0);
    EXPECT_EQ(url("mpal://sourceScheme=nimbus1234")->host(), "sourceScheme=nimbus1234");
    EXPECT_FALSE(url("file:///tmp/x")->host());
    EXPECT_FALSE(url("mailto:a@b.c")->host());
    EXPECT_EQ(url("mailto:a@b.c?subject=hi")->path(), "a@b.c");
    EXPECT_EQ(url("mailto:a@b.c?subject=hi")->query(), "subject=hi");
    EXPECT_FALSE(url("psapp/x:y/0")->scheme());
    EXPECT_EQ(url("psapp/x:y/0")->path(), "psapp/x:y/0");

    auto bridge = url("NBWEBVIEWKIT://setNavigationTitle-/Hello%20World");
    EXPECT_EQ(bridge->host(), "setNavigationTitle-");
    EXPECT_EQ(bridge->pathComponents(), (Components{"/", "Hello World"}));
}

TEST(NSURL, IPv6HostsMayNameAZone) {
    const struct {
        const char* text;
        const char* host;  // nullptr: refused
    } rows[] = {
        {"http://[fe80::1%25en0]/", "fe80::1%en0"},
        {"http://[fe80::1%25en0]:8080/x", "fe80::1%en0"},
        {"http://[fe80::a%25eth0.1~x_-]", "fe80::a%eth0.1~x_-"},
        {"http://[fe80::1%25%65n0]/", "fe80::1%en0"},
        {"http://[::1]/", "::1"},
        {"http://[fe80::1%en0]/", nullptr},     // "%" must be written "%25"
        {"http://[fe80::1%25]/", nullptr},      // an empty zone
        {"http://[fe80::1%25e/n]/", nullptr},
        {"http://[fe80::1%25en:0]/", nullptr},  // ":" has no place in a zone
        {"http://[fe80%25en0::1]/", nullptr},
        {"http://[%25en0]/", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        auto parsed = NSURL::URLWithString(row.text);
        if (!row.host) {
            EXPECT_FALSE(parsed);
            continue;
        }
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->host(), row.host);
        EXPECT_EQ(parsed->absoluteString(), row.text);
    }
}

TEST(NSURL, PathsAreDecodedAndSplit) {
    auto encoded = url("http://a/b%20c/d%E4%B8%AD.tar.gz?q=%20");
    EXPECT_EQ(encoded->path(), "/b c/d中.tar.gz");
    EXPECT_EQ(encoded->pathComponents(), (Components{"/", "b c", "d中.tar.gz"}));
    EXPECT_EQ(encoded->pathExtension(), "gz");
    EXPECT_EQ(encoded->query(), "q=%20");

    auto trailing = url("http://a/psapp/x/0/");
    EXPECT_EQ(trailing->path(), "/psapp/x/0");
    EXPECT_EQ(trailing->pathComponents(), (Components{"/", "psapp", "x", "0"}));
    EXPECT_EQ(trailing->lastPathComponent(), "0");

    auto root = url("http://a/");
    EXPECT_EQ(root->path(), "/");
    EXPECT_EQ(root->pathComponents(), (Components{"/"}));
    EXPECT_EQ(root->lastPathComponent(), "/");

    EXPECT_EQ(url("http://a/%E4%B8")->path(), "/%E4%B8");  // escapes that are no UTF-8 stay as written
    EXPECT_EQ(url("http://a/.hidden")->pathExtension(), "");
    EXPECT_EQ(url("http://a/file.")->pathExtension(), "");
    EXPECT_EQ(url("http://a//x//y")->pathComponents(), (Components{"/", "x", "y"}));
    EXPECT_EQ(url("mpalspaceopensdk/psapp/scheme/")->pathComponents(), (Components{"mpalspaceopensdk", "psapp", "scheme"}));
}

TEST(NSURL, QueryOrFragmentAlone) {
    auto query = url("?a=1&b=2");
    EXPECT_FALSE(query->scheme());
    EXPECT_FALSE(query->host());
    EXPECT_EQ(query->path(), "");
    EXPECT_EQ(query->query(), "a=1&b=2");
    auto fragment = url("#top");
    EXPECT_EQ(fragment->fragment(), "top");
    EXPECT_FALSE(fragment->query());
}

TEST(NSURL, RefusesMalformedText) {
    for (const char* text :
         {"", " ", " http://a", "http://a b.com/", "http://a.com/x y", "http://a/\t", "http://a/\x7f", "http://a.com/\n",
          "http://a.com/中文", "http://a/%", "http://a/%2", "http://a.com/%g0", "http://a.com/#a#b", "http://a/{x}",
          "http://a/\"", "http://a/<>", "http://a/|", "http://a/\\", "http://a/^", "http://a/`", "http://a.com:port/",
          "http://a.com:70000/", "http://host:65536", "http://host:-1", "http://a:1:2", "http://[::1/",
          "http://[zz::1]/", "http://[::1]x/", "http://[::1]:x", "http://a/[x]", "http://a/?q=[1]", "http://a[1]/",
          "http://a/#[x]"})
        EXPECT_FALSE(NSURL::URLWithString(text)) << text;
    EXPECT_EQ(url("http://h:65535")->port(), 65535);
    EXPECT_FALSE(url("1abc:x")->scheme());
    EXPECT_EQ(url("a+b.c-d://h")->scheme(), "a+b.c-d");
}

// The examples of RFC 3986, 5.4.
TEST(NSURL, ResolvesAgainstABase) {
    auto base = url("http://a/b/c/d;p?q");
    auto resolve = [&](std::string_view text) { return NSURL::URLWithString(text, base)->absoluteString(); };
    EXPECT_EQ(resolve("g:h"), "g:h");
    EXPECT_EQ(resolve("g"), "http://a/b/c/g");
    EXPECT_EQ(resolve("/g"), "http://a/g");
    EXPECT_EQ(resolve("//g"), "http://g");
    EXPECT_EQ(resolve("?y"), "http://a/b/c/d;p?y");
    EXPECT_EQ(resolve("#s"), "http://a/b/c/d;p?q#s");
    EXPECT_EQ(resolve("."), "http://a/b/c/");
    EXPECT_EQ(resolve(".."), "http://a/b/");
    EXPECT_EQ(resolve("../g"), "http://a/b/g");
    EXPECT_EQ(resolve("../../../g"), "http://a/g");
    EXPECT_EQ(resolve("..g"), "http://a/b/c/..g");
    EXPECT_EQ(resolve("g/../h"), "http://a/b/c/h");
    EXPECT_EQ(resolve("g;x=1/../y"), "http://a/b/c/y");
    EXPECT_EQ(NSURL::URLWithString("x", url("http://h:81?q"))->absoluteString(), "http://h:81/x");
    EXPECT_EQ(NSURL::URLWithString("a b", base), nullptr);
    // The empty reference is the base without its fragment.
    for (const char* baseText : {"http://a/b/c/d;p?q", "http://a/b#f", "http://a", "file:///tmp/x/"}) {
        auto resolved = NSURL::URLWithString("", url(baseText));
        ASSERT_TRUE(resolved) << baseText;
        std::string expected = baseText;
        EXPECT_EQ(resolved->absoluteString(), expected.substr(0, expected.find('#')));
        EXPECT_EQ(resolved->relativeString(), "");
    }
    EXPECT_FALSE(NSURL::URLWithString("", nullptr));
    EXPECT_EQ(NSURL::URLWithString("/x", nullptr)->absoluteString(), "/x");
}

TEST(NSURL, RelativeURLsKeepTheirTextAndBase) {
    auto base = url("http://h:81/a/b/c?q#f");
    auto relative = NSURL::URLWithString("../d?x=1", base);
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->relativeString(), "../d?x=1");
    EXPECT_EQ(relative->absoluteString(), "http://h:81/a/d?x=1");
    EXPECT_EQ(relative->baseURL(), base);
    EXPECT_EQ(relative->host(), "h");
    EXPECT_EQ(relative->port(), 81);
    EXPECT_EQ(relative->path(), "/a/d");
    EXPECT_EQ(relative->description(), "../d?x=1 -- http://h:81/a/b/c?q#f");

    auto absolute = relative->absoluteURL();
    EXPECT_FALSE(absolute->baseURL());
    EXPECT_EQ(absolute->absoluteString(), "http://h:81/a/d?x=1");
    EXPECT_EQ(base->absoluteURL(), base);
}

TEST(NSURL, FileURLs) {
    auto file = NSURL::fileURLWithPath("/tmp/no such dir/a b#1.txt");
    EXPECT_EQ(file->absoluteString(), "file:///tmp/no%20such%20dir/a%20b%231.txt");
    EXPECT_TRUE(file->isFileURL());
    EXPECT_EQ(file->path(), "/tmp/no such dir/a b#1.txt");
    EXPECT_EQ(file->lastPathComponent(), "a b#1.txt");
    EXPECT_TRUE(url("FILE:///x")->isFileURL());
    EXPECT_FALSE(url("files:///x")->isFileURL());

    const TempFolder temporary("nsurl-test");
    const std::filesystem::path directory = temporary.path();
    EXPECT_EQ(NSURL::fileURLWithPath(directory.string())->absoluteString(), "file://" + directory.string() + "/");
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    EXPECT_EQ(NSURL::fileURLWithPath("sub/x.png")->path(), directory.string() + "/sub/x.png");
    std::filesystem::current_path(previous);
}

TEST(NSURL, AppendingPathComponents) {
    EXPECT_EQ(url("http://h/api")->URLByAppendingPathComponent("get user")->absoluteString(), "http://h/api/get%20user");
    EXPECT_EQ(url("http://h/api/")->URLByAppendingPathComponent("x")->absoluteString(), "http://h/api/x");
    EXPECT_EQ(url("http://h")->URLByAppendingPathComponent("x")->absoluteString(), "http://h/x");
    EXPECT_EQ(url("http://h/a?q=1#f")->URLByAppendingPathComponent("b?")->absoluteString(), "http://h/a/b%3F?q=1#f");
    EXPECT_EQ(url("http://h/a")->URLByAppendingPathComponent("中")->path(), "/a/中");
}

TEST(NSURL, EqualityByTextAndBase) {
    EXPECT_TRUE(url("http://h/a")->isEqual(*url("http://h/a")));
    EXPECT_FALSE(url("http://h/a")->isEqual(*url("http://h/a/")));
    EXPECT_FALSE(url("http://h/a")->isEqual(*url("HTTP://h/a")));
    auto base = url("http://h/");
    auto relative = NSURL::URLWithString("a", base);
    EXPECT_TRUE(relative->isEqual(*NSURL::URLWithString("a", url("http://h/"))));
    EXPECT_FALSE(relative->isEqual(*url("http://h/a")));
    EXPECT_FALSE(relative->isEqual(*NSURL::URLWithString("a", url("http://g/"))));
}

}  // namespace
