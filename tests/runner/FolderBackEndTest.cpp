#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/shell/KXLocallyStoredData.h"
#include "runner/FolderBackEnd.h"
#include "tests/support/UnwritablePath.h"
#include "tests/support/TempSandbox.h"

namespace {

// A loopback port the test holds for its whole life: bound, with address
// reuse, and not listening. No one else is given it or can bind it, while a
// back end (which binds with address reuse) can listen on it: a port the
// test frees for a back end stays free for the next one.
class HeldPort {
public:
    HeldPort() : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        int yes = 1;
        ::setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~HeldPort() { ::close(socket_); }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;
    int port() const { return port_; }
    std::string address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

private:
    int socket_;
    int port_ = 0;
};

class FolderBackEndTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(folder); }
    // What a sign-in stores: the avatar address the back end gives, on
    // its own address.
    void signIn(const std::string& backEndsOwnAddress) { KXLocallyStoredData::setHead(Value(backEndsOwnAddress + avatar)); }

    TempSandbox sandbox;
    const std::string folder = sandbox.path() + "/session";
    const std::string avatar = "static/head/promoter-1.png";
};

}  // namespace

// A later session on a folder shows the avatar the sign-in stored: the local
// back end takes the folder's port again when it is free, and when it is not,
// the stored avatar address follows the back end to its new port.
TEST_F(FolderBackEndTest, ALaterSessionKeepsThePortWhenFreeAndMovesTheStoredAvatarWhenNot) {
    HeldPort held;
    ASSERT_NE(held.port(), 0);
    FolderBackEnd::use(folder, held.address());
    auto first = FolderBackEnd::startLocal(folder);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->port(), held.port());
    FolderBackEnd::use(folder, first->baseURL());
    signIn(first->baseURL());
    first.reset();

    auto second = FolderBackEnd::startLocal(folder);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->port(), held.port());
    FolderBackEnd::use(folder, second->baseURL());
    EXPECT_EQ(KXLocallyStoredData::getHead(), second->baseURL() + avatar);

    // The port taken (by the second, still running): the third moves it.
    auto third = FolderBackEnd::startLocal(folder);
    ASSERT_TRUE(third);
    EXPECT_NE(third->port(), held.port());
    FolderBackEnd::use(folder, third->baseURL());
    EXPECT_EQ(KXLocallyStoredData::getHead(), third->baseURL() + avatar);
}

// Signed in through --backend, the avatar names the back end's own address,
// not the one the folder reached it at (another spelling of the host, a
// relay): a later session on the folder's own local back end moves it all
// the same, and one through the same road again moves it back.
// An address given without its last "/" is joined to the avatar's path with
// one all the same.
TEST_F(FolderBackEndTest, TheAvatarFollowsTheBackEndWhateverRoadTheSignInTook) {
    HeldPort backEnd, relay;
    const std::string backEndsOwnAddress = backEnd.address();
    const std::string localhost = "http://localhost:" + std::to_string(backEnd.port());
    for (const std::string& road : {localhost + "/", relay.address(), localhost}) {
        SCOPED_TRACE(road);
        std::filesystem::remove(folder + "/backend-address");
        FolderBackEnd::use(folder, road);
        signIn(backEndsOwnAddress);

        auto local = FolderBackEnd::startLocal(folder);
        ASSERT_TRUE(local);
        FolderBackEnd::use(folder, local->baseURL());
        EXPECT_EQ(KXLocallyStoredData::getHead(), local->baseURL() + avatar);

        FolderBackEnd::use(folder, road);
        EXPECT_EQ(KXLocallyStoredData::getHead(), (road.ends_with("/") ? road : road + "/") + avatar);
    }
    // A folder whose avatar was once joined without the "/" is mended.
    std::ofstream(folder + "/backend-address", std::ios::trunc) << localhost << "\n" << localhost + avatar << "\n";
    signIn(localhost);
    FolderBackEnd::use(folder, backEndsOwnAddress);
    EXPECT_EQ(KXLocallyStoredData::getHead(), backEndsOwnAddress + avatar);
}

// An avatar that no sign-in of the last session stored and that is not on
// the folder's back end (an address of another host) is left as it is.
TEST_F(FolderBackEndTest, AnAvatarOnAnotherHostStays) {
    const std::string elsewhere = "http://images.example/head.png";
    KXLocallyStoredData::setHead(Value(elsewhere));
    FolderBackEnd::use(folder, "http://127.0.0.1:1/");
    FolderBackEnd::use(folder, "http://127.0.0.1:2/");
    EXPECT_EQ(KXLocallyStoredData::getHead(), elsewhere);
}

// A database of the folder that is damaged (overwritten, cut short) stops
// the back end, which names the file; the folder's answer says which is
// damaged and that setting it aside mends it, which it does, keeping the
// other one: --fresh would empty them both.
TEST_F(FolderBackEndTest, ADamagedDatabaseIsNamedWithTheWayToStartItAgain) {
    ASSERT_TRUE(FolderBackEnd::startLocal(folder));
    const std::string storage = folder + "/backend";
    for (const auto& [name, again] : {std::pair("backend.db", " again from the demo data"),
                                      std::pair("backend-analytics.db", " again, empty")}) {
        SCOPED_TRACE(name);
        const std::string path = storage + "/" + name;
        // A database cut short; its journal is gone with it.
        std::filesystem::resize_file(path, 1000);
        for (const char* journal : {"-wal", "-shm"}) std::filesystem::remove(path + journal);
        std::string failure;
        EXPECT_FALSE(FolderBackEnd::startLocal(folder, &failure));
        EXPECT_EQ(failure, "cannot open " + path + ": the database " + name + " is damaged: set " + path +
                               " aside (move or rename it) and the next session starts it" + again);
        std::filesystem::rename(path, path + ".damaged");
        EXPECT_TRUE(FolderBackEnd::startLocal(folder, &failure)) << failure;
    }
}

// A folder the back end may not write in is named, with the reason.
TEST_F(FolderBackEndTest, AStorageFolderThatCannotBeWrittenIsNamed) {
    ASSERT_TRUE(FolderBackEnd::startLocal(folder));
    const std::string storage = folder + "/backend";
    for (const std::string name : {"backend.db", "backend-analytics.db"})
        for (const char* journal : {"-wal", "-shm"}) std::filesystem::remove(storage + "/" + name + journal);
    UnwritablePath unwritable(storage);
    if (!unwritable.made()) GTEST_SKIP() << "the file system keeps no immutable flag";
    std::string failure;
    EXPECT_FALSE(FolderBackEnd::startLocal(folder, &failure));
    EXPECT_NE(failure.find(": the folder " + storage + " is not writable (no permission to write in it)"),
              std::string::npos)
        << failure;
}

// A database of the folder the session may only read (another user's, or
// a read-only file) is refused before the app starts, naming the file and
// why, rather than starting a back end that fails every action.
TEST_F(FolderBackEndTest, ADatabaseThatCanOnlyBeReadIsNamed) {
    ASSERT_TRUE(FolderBackEnd::startLocal(folder));
    const std::string database = folder + "/backend/backend.db";
    UnwritablePath readOnly(database);
    if (!readOnly.made()) GTEST_SKIP() << "the file system keeps no immutable flag";
    std::string failure;
    EXPECT_FALSE(FolderBackEnd::startLocal(folder, &failure));
    EXPECT_EQ(failure, "cannot open " + database + ": " + database + " is not writable (no permission to write it)");
}
