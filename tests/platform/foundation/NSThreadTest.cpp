#include <gtest/gtest.h>

#include <pthread.h>

#include <string>

#include "foundation/DispatchSemaphore.h"
#include "foundation/NSThread.h"
#include "tests/support/Eventually.h"

TEST(NSThread, DetachedThreadCarriesItsNameAndIsNotMain) {
    EXPECT_TRUE(NSThread::isMainThread());
    auto done = make<DispatchSemaphore>(0);
    std::string name, systemName;
    bool main = true;
    bool sameObject = false;
    NSThread::detachNewThreadWithBlock(
        [&] {
            name = NSThread::currentThread()->name();
            main = NSThread::isMainThread();
            sameObject = NSThread::currentThread() == NSThread::currentThread();
            char buffer[16] = {};
            pthread_getname_np(pthread_self(), buffer, sizeof buffer);
            systemName = buffer;
            done->signal();
        },
        "QueueSocket-CFStream");
    ASSERT_TRUE(done->wait(kGiveUpAfterSeconds));
    EXPECT_EQ(name, "QueueSocket-CFStream");
    EXPECT_EQ(systemName, "QueueSocket-CFS");  // the system keeps 15 bytes
    EXPECT_FALSE(main);
    EXPECT_TRUE(sameObject);

    NSThread::currentThread()->setName("main");
    EXPECT_EQ(NSThread::currentThread()->name(), "main");
}
