#include <gtest/gtest.h>

#include <filesystem>

#include "app/shell/KXLocallyStoredData.h"
#include "runner/FolderBackEnd.h"
#include "tests/support/TempSandbox.h"

// A later session on a folder shows the avatar the sign-in stored: the local
// back end takes the folder's port again when it is free, and when it is not,
// the stored avatar address follows the back end to its new port.
TEST(FolderBackEndTest, ALaterSessionKeepsThePortWhenFreeAndMovesTheStoredAvatarWhenNot) {
    TempSandbox sandbox;
    const std::string folder = sandbox.path() + "/session";
    std::filesystem::create_directories(folder);
    const std::string avatar = "static/head/promoter-1.png";
    auto first = FolderBackEnd::startLocal(folder);
    ASSERT_TRUE(first);
    FolderBackEnd::use(folder, first->baseURL());
    KXLocallyStoredData::setHead(Value(first->baseURL() + avatar));
    const int port = first->port();
    first.reset();

    auto second = FolderBackEnd::startLocal(folder);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->port(), port);
    FolderBackEnd::use(folder, second->baseURL());
    EXPECT_EQ(KXLocallyStoredData::getHead(), second->baseURL() + avatar);

    // The port taken (by the second, still running): the third moves it.
    auto third = FolderBackEnd::startLocal(folder);
    ASSERT_TRUE(third);
    EXPECT_NE(third->port(), port);
    FolderBackEnd::use(folder, third->baseURL());
    EXPECT_EQ(KXLocallyStoredData::getHead(), third->baseURL() + avatar);
}
