#include <gtest/gtest.h>

#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLRequest.h"

namespace {

TEST(NSURLRequest, HeaderFieldsAreOneEntryPerNameInAnyLetterCase) {
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://127.0.0.1/"));
    request->setValue("text/plain", "Content-Type");
    request->setValue("NimbusConnect", "User-Agent");
    request->setValue("application/json", "content-type");
    EXPECT_EQ(request->allHTTPHeaderFields(),
              (Dictionary{{"Content-Type", "application/json"}, {"User-Agent", "NimbusConnect"}}));
    EXPECT_EQ(request->valueForHTTPHeaderField("CONTENT-TYPE"), "application/json");

    request->setValue(std::nullopt, "user-agent");
    EXPECT_EQ(request->valueForHTTPHeaderField("User-Agent"), std::nullopt);
    request->setValue(std::nullopt, "Not-There");
    EXPECT_EQ(request->allHTTPHeaderFields().count(), 1u);

    request->setAllHTTPHeaderFields(Dictionary{{"Cookie", "uin=1"}, {"X-Count", 3}, {"Accept", "*/*"}});
    EXPECT_EQ(request->allHTTPHeaderFields(), (Dictionary{{"Cookie", "uin=1"}, {"Accept", "*/*"}}));
}

NSHTTPURLResponse responseWith(const NSHTTPURLResponse::HeaderFields& fields) {
    return NSHTTPURLResponse(NSURL::URLWithString("http://127.0.0.1/r"), 200, fields);
}

TEST(NSHTTPURLResponse, TypeEncodingAndLengthComeFromTheHeaderFields) {
    const auto full = responseWith({{"Content-Type", " Application/JSON ; Charset=\"UTF-8\"; q=1"}, {"Content-Length", "17"}});
    EXPECT_EQ(full.MIMEType(), "application/json");
    EXPECT_EQ(full.textEncodingName(), "utf-8");
    EXPECT_EQ(full.expectedContentLength(), 17);

    const auto bare = responseWith({{"content-type", "image/png"}, {"content-length", "12abc"}});
    EXPECT_EQ(bare.MIMEType(), "image/png");
    EXPECT_EQ(bare.textEncodingName(), std::nullopt);
    EXPECT_EQ(bare.expectedContentLength(), -1);

    const auto none = responseWith({{"Content-Length", "-5"}});
    EXPECT_EQ(none.MIMEType(), std::nullopt);
    EXPECT_EQ(none.expectedContentLength(), -1);
    EXPECT_EQ(responseWith({}).expectedContentLength(), -1);
}

TEST(NSHTTPURLResponse, RepeatedFieldsJoinAndLookupsIgnoreCase) {
    const auto response = responseWith({{"Set-Cookie", "a=1"}, {"X-Id", "7"}, {"set-cookie", "b=2"}});
    EXPECT_EQ(response.statusCode(), 200);
    EXPECT_EQ(response.allHeaderFields(), (Dictionary{{"Set-Cookie", "a=1, b=2"}, {"X-Id", "7"}}));
    EXPECT_EQ(response.valueForHTTPHeaderField("SET-COOKIE"), "a=1, b=2");
    EXPECT_EQ(response.valueForHTTPHeaderField("Missing"), std::nullopt);
}

}  // namespace
