#include "foundation/NSUserDefaults.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "foundation/AppSandbox.h"
#include "foundation/NSBundle.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/PropertyListFile.h"
#include "tests/support/TempSandbox.h"

TEST(NSUserDefaults, TypedGettersAndRemoval) {
    TempSandbox sandbox;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObject("42abc", "text");
    defaults->setInteger(7, "count");
    defaults->setBool(true, "flag");
    defaults->setDouble(2.5, "ratio");
    defaults->setObject(Dictionary{{"a", 1}}, "dict");

    EXPECT_EQ(defaults->stringForKey("text"), "42abc");
    EXPECT_EQ(defaults->integerForKey("text"), 42);
    EXPECT_EQ(defaults->stringForKey("count"), "7");
    EXPECT_EQ(defaults->integerForKey("count"), 7);
    EXPECT_TRUE(defaults->boolForKey("flag"));
    EXPECT_EQ(defaults->doubleForKey("ratio"), 2.5);
    EXPECT_EQ(defaults->integerForKey("ratio"), 2);
    EXPECT_EQ(defaults->dictionaryForKey("dict"), (Dictionary{{"a", 1}}));
    EXPECT_FALSE(defaults->arrayForKey("dict"));
    EXPECT_FALSE(defaults->stringForKey("dict"));

    EXPECT_FALSE(defaults->stringForKey("missing"));
    EXPECT_EQ(defaults->integerForKey("missing"), 0);

    defaults->removeObjectForKey("count");
    defaults->setObject(Value(), "flag");
    EXPECT_TRUE(defaults->objectForKey("count").isNil());
    EXPECT_TRUE(defaults->objectForKey("flag").isNil());
}

TEST(NSUserDefaults, RefusesValuesAPropertyListCannotHold) {
    TempSandbox sandbox;
    NSLogCapture log;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObject("kept", "key");
    defaults->setObject(Value::null(), "key");
    defaults->setObject(Array{make<NSObject>()}, "other");
    EXPECT_EQ(defaults->objectForKey("key"), Value("kept"));
    EXPECT_TRUE(defaults->objectForKey("other").isNil());
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_TRUE(defaults->synchronize());
}

TEST(NSUserDefaults, RegisteredDefaultsAnswerUntilSetAndAreNotSaved) {
    TempSandbox sandbox;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->registerDefaults({{"volume", 5}, {"name", "guest"}});
    EXPECT_EQ(defaults->integerForKey("volume"), 5);
    defaults->setInteger(9, "volume");
    EXPECT_EQ(defaults->integerForKey("volume"), 9);
    Dictionary everything = defaults->dictionaryRepresentation();
    EXPECT_EQ(everything["volume"], Value(9));
    EXPECT_EQ(everything["name"], Value("guest"));
    defaults->removeObjectForKey("volume");
    EXPECT_EQ(defaults->integerForKey("volume"), 5);

    defaults->setObject("amy", "user");
    NSUserDefaults::resetStandardUserDefaults();
    auto reread = NSUserDefaults::standardUserDefaults();
    EXPECT_EQ(reread->stringForKey("user"), "amy");
    EXPECT_TRUE(reread->objectForKey("name").isNil());
}

TEST(NSUserDefaults, PersistAcrossInstancesOfTheSameSandbox) {
    TempSandbox sandbox;
    auto first = NSUserDefaults::standardUserDefaults();
    first->setObject("token-1", "token");
    first->setObject(NSDate(1700000000.0), "since");
    // Nothing reaches the file before a flush.
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(first->filePath()));
    EXPECT_TRUE(first->synchronize());
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(first->filePath()));
    first->setInteger(3, "unsynchronized");

    NSUserDefaults::resetStandardUserDefaults();  // flushes the later change too
    auto second = NSUserDefaults::standardUserDefaults();
    EXPECT_NE(second, first);
    EXPECT_EQ(second->stringForKey("token"), "token-1");
    EXPECT_EQ(second->objectForKey("since"), Value(NSDate(1700000000.0)));
    EXPECT_EQ(second->integerForKey("unsynchronized"), 3);

    // An instance that simply goes away saves too.
    {
        NSUserDefaults separate(sandbox.path(), "separate");
        separate.setBool(true, "saved");
    }
    NSUserDefaults again(sandbox.path(), "separate");
    EXPECT_TRUE(again.boolForKey("saved"));
}

TEST(NSUserDefaults, FileIsNamedAfterTheBundleIdentifier) {
    TempSandbox sandbox;
    std::string bundle = sandbox.path() + "/Bundle";
    NSFileManager::defaultManager()->createDirectoryAtPath(bundle, true);
    ASSERT_TRUE(PropertyListFile::writeToFile(Dictionary{{"CFBundleIdentifier", "com.example.app"}},
                                              bundle + "/Info.plist", true));
    NSBundle::setMainBundlePath(bundle);
    NSUserDefaults::resetStandardUserDefaults();
    auto defaults = NSUserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults->filePath(), sandbox.path() + "/Library/Preferences/com.example.app.plist");
    defaults->setObject("v", "k");
    EXPECT_TRUE(defaults->synchronize());
    auto saved = PropertyListFile::dictionaryWithContentsOfFile(defaults->filePath());
    EXPECT_EQ(saved, (Dictionary{{"k", "v"}}));
    NSBundle::setMainBundlePath("");
    NSUserDefaults::resetStandardUserDefaults();
}

TEST(NSUserDefaults, EachSandboxHasItsOwnSettings) {
    std::string firstRoot;
    {
        TempSandbox first;
        firstRoot = first.path();
        NSUserDefaults::standardUserDefaults()->setObject("one", "who");
        {
            // Switching the sandbox saves the old settings and reads the new ones.
            TempSandbox second;
            EXPECT_TRUE(NSUserDefaults::standardUserDefaults()->objectForKey("who").isNil());
            NSUserDefaults::standardUserDefaults()->setObject("two", "who");
        }
        AppSandbox::setRoot(firstRoot);
        EXPECT_EQ(NSUserDefaults::standardUserDefaults()->stringForKey("who"), "one");
    }
}

TEST(NSUserDefaults, SafeFromManyThreads) {
    TempSandbox sandbox;
    auto defaults = NSUserDefaults::standardUserDefaults();
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([defaults, t] {
            for (int i = 0; i < 200; ++i) {
                defaults->setInteger(i, "key" + std::to_string(t));
                (void)defaults->integerForKey("key" + std::to_string((t + 1) % 4));
                if (i % 50 == 0) defaults->synchronize();
            }
        });
    }
    for (auto& worker : workers) worker.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(defaults->integerForKey("key" + std::to_string(t)), 199);
}
