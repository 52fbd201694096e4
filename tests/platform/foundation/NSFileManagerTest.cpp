#include "foundation/NSFileManager.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "foundation/AppSandbox.h"
#include "foundation/DataFile.h"
#include "foundation/NSPathUtilities.h"
#include "foundation/PropertyListFile.h"
#include "tests/support/TempSandbox.h"

namespace {

class NSFileManagerTest : public testing::Test {
protected:
    TempSandbox sandbox;
    Ref<NSFileManager> files = NSFileManager::defaultManager();
    std::string documents = NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSUserDomainMask, true).at(0);

    std::string doc(const std::string& name) const { return documents + "/" + name; }
};

}  // namespace

TEST_F(NSFileManagerTest, SandboxHasTheStandardFolders) {
    EXPECT_EQ(NSHomeDirectory(), sandbox.path());
    EXPECT_EQ(NSTemporaryDirectory(), sandbox.path() + "/tmp/");
    EXPECT_EQ(documents, sandbox.path() + "/Documents");
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true),
              std::vector<std::string>{sandbox.path() + "/Library/Caches"});
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSPreferencePanesDirectory, NSUserDomainMask, false),
              std::vector<std::string>{"~/Library/PreferencePanes"});
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSLibraryDirectory, NSUserDomainMask, true),
              std::vector<std::string>{sandbox.path() + "/Library"});
    EXPECT_TRUE(NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSSearchPathDomainMask(0), true).empty());
    for (const char* folder : {"Documents", "Library/Caches", "Library/Preferences", "Library/PreferencePanes", "tmp"}) {
        bool isDirectory = false;
        EXPECT_TRUE(files->fileExistsAtPath(sandbox.path() + "/" + folder, &isDirectory)) << folder;
        EXPECT_TRUE(isDirectory) << folder;
        // The app's own alone, as on the phone.
        EXPECT_EQ(std::filesystem::status(sandbox.path() + "/" + folder).permissions(), std::filesystem::perms(0700))
            << folder;
    }
    EXPECT_FALSE(AppSandbox::setRoot(""));
}

TEST_F(NSFileManagerTest, CreatesReadsAndDescribesFiles) {
    EXPECT_TRUE(files->createFileAtPath(doc("a.txt"), NSData::fromString("hello")));
    EXPECT_EQ(files->contentsAtPath(doc("a.txt")), NSData::fromString("hello"));
    EXPECT_EQ(std::filesystem::status(doc("a.txt")).permissions(), std::filesystem::perms(0600));
    EXPECT_TRUE(files->createFileAtPath(doc("a.txt"), NSData::fromString("hi")));  // replaces
    EXPECT_EQ(files->contentsAtPath(doc("a.txt")), NSData::fromString("hi"));
    EXPECT_TRUE(files->createFileAtPath(doc("empty"), std::nullopt));
    EXPECT_EQ(files->contentsAtPath(doc("empty")), NSData());
    EXPECT_FALSE(files->createFileAtPath(doc("no/such/folder/x"), NSData::fromString("x")));
    EXPECT_FALSE(files->contentsAtPath(doc("missing")));
    EXPECT_FALSE(files->contentsAtPath(documents));  // a folder has no contents

    bool isDirectory = true;
    EXPECT_TRUE(files->fileExistsAtPath(doc("a.txt"), &isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_FALSE(files->fileExistsAtPath(doc("missing")));
    EXPECT_FALSE(files->fileExistsAtPath(""));

    auto attributes = files->attributesOfItemAtPath(doc("a.txt"));
    ASSERT_TRUE(attributes);
    EXPECT_EQ((*attributes)[NSFileSize], Value(2));
    EXPECT_EQ((*attributes)[NSFileType], Value(NSFileTypeRegular));
    EXPECT_NEAR((*attributes)[NSFileModificationDate].date()->timeIntervalSinceNow(), 0, 60);
    EXPECT_EQ((*files->attributesOfItemAtPath(documents))[NSFileType], Value(NSFileTypeDirectory));
    ASSERT_EQ(::symlink("a.txt", doc("link").c_str()), 0);
    EXPECT_EQ((*files->attributesOfItemAtPath(doc("link")))[NSFileType], Value(NSFileTypeSymbolicLink));

    auto space = files->attributesOfFileSystemForPath(documents);
    ASSERT_TRUE(space);
    EXPECT_GT(*(*space)[NSFileSystemSize].unsignedInteger(), 0u);
    EXPECT_LE(*(*space)[NSFileSystemFreeSize].unsignedInteger(), *(*space)[NSFileSystemSize].unsignedInteger());
}

TEST_F(NSFileManagerTest, FoldersMoveCopyAndRemove) {
    EXPECT_TRUE(files->createDirectoryAtPath(doc("x/y/z"), true));
    EXPECT_TRUE(files->createDirectoryAtPath(doc("x/y/z"), true));  // already there: fine
    EXPECT_EQ(std::filesystem::status(doc("x/y")).permissions(), std::filesystem::perms(0700));
    Ref<NSError> error;
    EXPECT_FALSE(files->createDirectoryAtPath(doc("x/y/z"), false, &error));
    EXPECT_EQ(error->code(), EEXIST);
    EXPECT_FALSE(files->createDirectoryAtPath(doc("p/q"), false, &error));
    EXPECT_EQ(error->code(), ENOENT);
    files->createFileAtPath(doc("x/y/z/file"), NSData::fromString("deep"));
    files->createFileAtPath(doc("x/b"), NSData());
    EXPECT_FALSE(files->createDirectoryAtPath(doc("x/b"), true, &error));

    EXPECT_EQ(files->contentsOfDirectoryAtPath(doc("x")), (std::vector<std::string>{"b", "y"}));

    EXPECT_TRUE(files->copyItemAtPath(doc("x"), doc("copy")));
    EXPECT_EQ(files->contentsAtPath(doc("copy/y/z/file")), NSData::fromString("deep"));
    EXPECT_TRUE(files->moveItemAtPath(doc("copy"), doc("moved")));
    EXPECT_FALSE(files->fileExistsAtPath(doc("copy")));
    EXPECT_TRUE(files->fileExistsAtPath(doc("moved/y/z/file")));

    // Onto something that exists, or from nothing, fails.
    EXPECT_FALSE(files->moveItemAtPath(doc("moved"), doc("x"), &error));
    EXPECT_EQ(error->code(), EEXIST);
    EXPECT_FALSE(files->copyItemAtPath(doc("x/b"), doc("moved"), &error));
    EXPECT_EQ(error->code(), EEXIST);
    EXPECT_FALSE(files->moveItemAtPath(doc("nothing"), doc("else"), &error));
    EXPECT_EQ(error->code(), ENOENT);

    EXPECT_TRUE(files->removeItemAtPath(doc("moved")));
    EXPECT_FALSE(files->fileExistsAtPath(doc("moved")));
    EXPECT_FALSE(files->removeItemAtPath(doc("moved"), &error));
    EXPECT_EQ(error->code(), ENOENT);
}

TEST_F(NSFileManagerTest, ErrorsArePosixErrorsNamingThePath) {
    Ref<NSError> error;
    EXPECT_FALSE(files->contentsOfDirectoryAtPath(doc("none"), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), NSPOSIXErrorDomain);
    EXPECT_EQ(error->code(), ENOENT);
    EXPECT_EQ(error->localizedDescription(), "No such file or directory");
    EXPECT_EQ(error->userInfo()[NSFilePathErrorKey], Value(doc("none")));

    error = nullptr;
    EXPECT_FALSE(files->attributesOfItemAtPath(doc("none"), &error));
    EXPECT_EQ(error->code(), ENOENT);
    EXPECT_FALSE(files->attributesOfFileSystemForPath(doc("none"), &error));
    // Callers that do not ask for the error still get the answer.
    EXPECT_FALSE(files->removeItemAtPath(doc("none")));
}

TEST_F(NSFileManagerTest, DataAndPropertyListFiles) {
    NSData bytes = NSData::fromString(std::string("\0\1\2", 3));
    EXPECT_EQ(DataFile::writeToFile(bytes, doc("bytes"), true), 0);
    EXPECT_EQ(DataFile::writeToFile(bytes, doc("plain"), false), 0);
    EXPECT_EQ(DataFile::dataWithContentsOfFile(doc("bytes")), bytes);
    EXPECT_EQ(DataFile::dataWithContentsOfFile(doc("plain")), bytes);
    EXPECT_EQ(DataFile::writeToFile(bytes, doc("none/x"), true), ENOENT);
    // The atomic write leaves no temporary file behind.
    EXPECT_EQ(files->contentsOfDirectoryAtPath(documents), (std::vector<std::string>{"bytes", "plain"}));

    Dictionary settings{{"name", "amy"}, {"level", 3}, {"tags", Array{"a", "b"}}};
    EXPECT_TRUE(PropertyListFile::writeToFile(settings, doc("settings.plist"), true));
    EXPECT_EQ(PropertyListFile::dictionaryWithContentsOfFile(doc("settings.plist")), settings);
    EXPECT_FALSE(PropertyListFile::arrayWithContentsOfFile(doc("settings.plist")));
    EXPECT_NE(files->contentsAtPath(doc("settings.plist"))->toString().find("<key>name</key>"), std::string::npos);

    EXPECT_TRUE(PropertyListFile::writeToFile(Array{1, 2}, doc("list.plist"), false));
    EXPECT_EQ(PropertyListFile::arrayWithContentsOfFile(doc("list.plist")), (Array{1, 2}));
    EXPECT_FALSE(PropertyListFile::writeToFile(Array{Value::null()}, doc("bad.plist"), true));
    EXPECT_FALSE(files->fileExistsAtPath(doc("bad.plist")));
    EXPECT_FALSE(PropertyListFile::dictionaryWithContentsOfFile(doc("bytes")));
    EXPECT_FALSE(PropertyListFile::dictionaryWithContentsOfFile(doc("missing")));
}
