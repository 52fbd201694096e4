#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "BackendClient.h"
#include "backend/Database.h"
#include "backend/DemoData.h"
#include "tests/support/TempSandbox.h"

// A back end opened on a database written before names had identity keys,
// with rows stored then: the rows stay as they are and their keys are
// filled in at open.
class StoredBefore : public ::testing::Test {
protected:
    void startAfter(const std::function<void(backend::Database&)>& storeBefore) {
        const std::string path = folder_ / "backend.sqlite";
        {
            auto database = backend::Database::open(path);
            ASSERT_NE(database, nullptr);
            backend::installDemoData(*database, 0);
            database->execute("DROP INDEX promoters_by_name_key; ALTER TABLE promoters DROP COLUMN name_key");
            storeBefore(*database);
        }
        backend_ = backend::LocalBackend::start({0, path});
        ASSERT_NE(backend_, nullptr);
        client_ = std::make_unique<BackendClient>(backend_->port());
    }
    static void addAccount(backend::Database& database, const std::string& name) {
        database
            .prepare("INSERT INTO promoters (username, password_hash, nickname, head, account_kind, prepaid_cents,"
                     " withdrawn_cents) VALUES (?, ?, ?, '', 1, 0, 0)")
            .bind({name, backend::passwordHash(name, "secret1"), name})
            .step();
    }
    BackendClient& client() { return *client_; }

    TempFolder folder_{"velmaro-stored-before"};
    std::unique_ptr<backend::LocalBackend> backend_;
    std::unique_ptr<BackendClient> client_;
};

TEST_F(StoredBefore, ANewNameWithTheKeyOfAnOlderOneIsTaken) {
    startAfter([](backend::Database& database) { addAccount(database, "LEGACY "); });
    for (const char* name : {"LEGACY", "ＬＥＧＡＣＹ", "LEGACY\u200B"}) {
        auto refused = client().classicGet("down_add", {{"username", name}, {"passwd", "secret1"}, {"phone", "13812345678"},
                                                        {"fcbl", "20"}},
                                           {{"is_login", "1"}});
        EXPECT_EQ(refused.json["code"], 0) << name;
        EXPECT_EQ(refused.json["message"], "用户名已存在") << name;
    }
}

TEST_F(StoredBefore, SigningInByTheKeyOfOneOlderRowReachesIt) {
    startAfter([](backend::Database& database) {
        addAccount(database, "LEGACY ");
        addAccount(database, "TWIN ");
        addAccount(database, "TWIN\u3000");
    });
    for (const char* name : {"LEGACY", "ＬＥＧＡＣＹ\u200B"}) {
        auto legacy = client().login(name, "secret1");
        ASSERT_EQ(legacy.json["code"], 1) << name << legacy.body;
        EXPECT_EQ(legacy.json["data"]["username"], "LEGACY ");
    }
    EXPECT_EQ(client().login("TWIN", "secret1").json["message"], "账号或密码错误") << "a key two rows share names neither";
    EXPECT_EQ(client().login("TWIN\u3000", "secret1").json["code"], 1) << "each signs in as spelled";
}

// A field stored blank before blanks were refused is still empty: it can be
// filled in.
TEST_F(StoredBefore, AProfileFieldStoredBlankCanBeFilledIn) {
    startAfter([](backend::Database& database) {
        database.execute("UPDATE promoter_profiles SET pal = ' ' || char(0x3164) WHERE promoter_id = 1");
    });
    const std::string t = BackendClient::timeText();
    auto filled = client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "my_edit"}, {"t", t}, {"uid", "1"},
                                {"sign", BackendClient::promoterSign("1", t)}, {"pal", "demo_pal"}});
    EXPECT_EQ(filled.json["code"], 1) << filled.body;
    const std::string later = BackendClient::requestTimeText();
    auto profile = client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "my_config"}, {"t", later}, {"uid", "1"},
                                 {"sign", BackendClient::promoterSign("1", later)}});
    EXPECT_EQ(profile.json["data"]["pal"], "demo_pal");
}
