#include "foundation/NSError.h"

#include <gtest/gtest.h>

TEST(NSError, KeepsDomainCodeAndUserInfo) {
    auto error = NSError::errorWithDomain(NSPOSIXErrorDomain, 2, {{"path", "/nowhere"}});
    EXPECT_EQ(error->domain(), "NSPOSIXErrorDomain");
    EXPECT_EQ(error->code(), 2);
    EXPECT_EQ(*error->userInfo()["path"].text(), "/nowhere");
}

TEST(NSError, LocalizedDescriptionPrefersUserInfoText) {
    auto described = NSError::errorWithDomain("Pay", -3, {{NSLocalizedDescriptionKey, "Card declined"}});
    EXPECT_EQ(described->localizedDescription(), "Card declined");

    auto plain = NSError::errorWithDomain("Pay", -3);
    EXPECT_EQ(plain->localizedDescription(), "The operation couldn\u2019t be completed. (Pay error -3.)");

    // A description key holding something other than text does not count.
    auto odd = NSError::errorWithDomain("Pay", 1, {{NSLocalizedDescriptionKey, 5}});
    EXPECT_EQ(odd->localizedDescription(), "The operation couldn\u2019t be completed. (Pay error 1.)");
}

TEST(NSError, DescriptionListsUserInfoAndNestsUnderlyingErrors) {
    auto plain = NSError::errorWithDomain(NSCocoaErrorDomain, 4);
    EXPECT_EQ(plain->description(),
              "Error Domain=NSCocoaErrorDomain Code=4 \"The operation couldn\u2019t be completed. "
              "(NSCocoaErrorDomain error 4.)\"");

    auto underlying = NSError::errorWithDomain("Low", 1, {{NSLocalizedDescriptionKey, "disk"}});
    auto error = NSError::errorWithDomain("High", 7, {{NSLocalizedDescriptionKey, "save failed"},
                                                      {NSUnderlyingErrorKey, underlying}});
    EXPECT_EQ(error->description(),
              "Error Domain=High Code=7 \"save failed\" UserInfo={NSLocalizedDescription=save failed, "
              "NSUnderlyingError=Error Domain=Low Code=1 \"disk\" UserInfo={NSLocalizedDescription=disk}}");
    EXPECT_EQ(error->userInfo()[NSUnderlyingErrorKey].objectAs<NSError>(), underlying);
}

TEST(NSError, EqualityComparesContent) {
    auto a = NSError::errorWithDomain("D", 1, {{"k", 1}});
    auto b = NSError::errorWithDomain("D", 1, {{"k", 1}});
    auto c = NSError::errorWithDomain("D", 2, {{"k", 1}});
    EXPECT_TRUE(a->isEqual(*b));
    EXPECT_FALSE(a->isEqual(*c));
    EXPECT_EQ(Value(a), Value(b));
}
