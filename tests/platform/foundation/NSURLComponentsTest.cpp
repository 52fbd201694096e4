#include "foundation/NSURLComponents.h"

#include <gtest/gtest.h>

namespace {

using Items = std::vector<NSURLQueryItem>;

TEST(NSURLComponents, ReadsQueryItemsDecoded) {
    auto components = NSURLComponents::componentsWithString("http://h/p?a=1&b=%E4%B8%AD&c&d=&e=x+y%2Bz&f=1=2&a=2");
    ASSERT_TRUE(components);
    auto items = components->queryItems();
    ASSERT_TRUE(items);
    EXPECT_EQ(*items, (Items{{"a", "1"},
                             {"b", "中"},
                             {"c", std::nullopt},
                             {"d", ""},
                             {"e", "x+y+z"},
                             {"f", "1=2"},
                             {"a", "2"}}));
    EXPECT_FALSE(NSURLComponents::componentsWithString("http://h/p")->queryItems());
    EXPECT_EQ(NSURLComponents::componentsWithString("http://h/p?")->queryItems(), Items{});
    EXPECT_EQ(NSURLComponents::componentsWithString("?x&&y=")->queryItems(),
              (Items{{"x", std::nullopt}, {"", std::nullopt}, {"y", ""}}));
}

TEST(NSURLComponents, WritesQueryItemsEncoded) {
    auto components = NSURLComponents::componentsWithString("https://h/p?old=1#frag");
    components->setQueryItems(Items{{"q", "a b+c&d=e/?"}, {"na=me&", "v"}, {"flag", std::nullopt}, {"中", "文"}});
    EXPECT_EQ(components->percentEncodedQuery(), "q=a%20b+c%26d=e/?&na%3Dme%26=v&flag&%E4%B8%AD=%E6%96%87");
    EXPECT_EQ(components->string(), "https://h/p?q=a%20b+c%26d=e/?&na%3Dme%26=v&flag&%E4%B8%AD=%E6%96%87#frag");

    auto back = NSURLComponents::componentsWithURL(components->URL(), false)->queryItems();
    EXPECT_EQ(back, (Items{{"q", "a b+c&d=e/?"}, {"na=me&", "v"}, {"flag", std::nullopt}, {"中", "文"}}));

    components->setQueryItems(Items{});
    EXPECT_EQ(components->string(), "https://h/p?#frag");
    components->setQueryItems(std::nullopt);
    EXPECT_EQ(components->string(), "https://h/p#frag");
}

TEST(NSURLComponents, BuildsAURLFromPieces) {
    auto components = make<NSURLComponents>();
    components->setScheme("https");
    components->setHost("example.com");
    components->setPort(8443);
    components->setPath("/a b/中");
    components->setQuery("k=v w");
    components->setFragment("top part");
    EXPECT_EQ(components->string(), "https://example.com:8443/a%20b/%E4%B8%AD?k=v%20w#top%20part");
    auto url = components->URL();
    ASSERT_TRUE(url);
    EXPECT_EQ(url->host(), "example.com");
    EXPECT_EQ(url->path(), "/a b/中");
    EXPECT_EQ(components->path(), "/a b/中");
    EXPECT_EQ(components->query(), "k=v w");
    EXPECT_EQ(components->fragment(), "top part");

    components->setHost("::1");
    EXPECT_EQ(components->host(), "::1");
    EXPECT_EQ(components->URL()->host(), "::1");
    EXPECT_EQ(components->string(), "https://[::1]:8443/a%20b/%E4%B8%AD?k=v%20w#top%20part");

    components->setPercentEncodedQuery("x=%41");
    EXPECT_EQ(components->query(), "x=A");
    components->setPercentEncodedPath("/x y");
    EXPECT_FALSE(components->URL());  // a space is no URL character
}

TEST(NSURLComponents, APathThatWouldReadAsAnotherPieceGivesNoURL) {
    const struct {
        const char* scheme;
        const char* host;
        const char* path;
        const char* url;  // nullptr: no URL
    } rows[] = {
        {"http", "example.com", "relative", nullptr},  // would read as host "example.comrelative"
        {"http", "example.com", "/absolute", "http://example.com/absolute"},
        {"http", "example.com", "", "http://example.com"},
        {nullptr, "example.com", "relative", nullptr},
        {"http", nullptr, "//host/x", nullptr},  // would read as host "host"
        {nullptr, nullptr, "//host/x", nullptr},
        {"http", nullptr, "/x//y", "http:/x//y"},
        {nullptr, nullptr, "a:b/c", nullptr},  // would read as scheme "a"
        {nullptr, nullptr, "c/a:b", "c/a:b"},
        {"mailto", nullptr, "a:b@c", "mailto:a:b@c"},
        {nullptr, nullptr, "relative/path", "relative/path"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.host ? row.host : "-") + " " + row.path);
        auto components = make<NSURLComponents>();
        if (row.scheme) components->setScheme(row.scheme);
        if (row.host) components->setHost(std::string(row.host));
        components->setPercentEncodedPath(row.path);
        auto url = components->URL();
        if (!row.url) {
            EXPECT_FALSE(url) << url->absoluteString();
            continue;
        }
        ASSERT_TRUE(url);
        EXPECT_EQ(url->absoluteString(), row.url);
    }
}

TEST(NSURLComponents, IPv6HostsWithAZone) {
    auto components = NSURLComponents::componentsWithString("http://[fe80::1%25en0]:8080/x");
    ASSERT_TRUE(components);
    EXPECT_EQ(components->host(), "fe80::1%en0");
    components->setHost("fe80::2%eth0");
    EXPECT_EQ(components->string(), "http://[fe80::2%25eth0]:8080/x");
    EXPECT_EQ(components->URL()->host(), "fe80::2%eth0");
}

TEST(NSURLComponents, FromURLsAndInvalidText) {
    EXPECT_FALSE(NSURLComponents::componentsWithString("http://a b/"));
    EXPECT_FALSE(NSURLComponents::componentsWithURL(nullptr, true));
    auto relative = NSURL::URLWithString("c?x=1", NSURL::URLWithString("http://h/a/b"));
    EXPECT_EQ(NSURLComponents::componentsWithURL(relative, true)->string(), "http://h/a/c?x=1");
    auto unresolved = NSURLComponents::componentsWithURL(relative, false);
    EXPECT_EQ(unresolved->string(), "c?x=1");
    EXPECT_FALSE(unresolved->host());
}

}  // namespace
