#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "BackendClient.h"
#include "RawClient.h"
#include "backend/HttpServer.h"

namespace {

using namespace std::chrono_literals;

// A server with one route and short deadlines, serving on its own thread.
class SmallServer {
public:
    explicit SmallServer(backend::HttpServer::Limits limits) : server_(limits) {
        server_.get("/", [](const backend::HttpRequest& request, backend::HttpResponse& response) {
            response.setContent("hello " + request.param("name"), "text/plain");
        });
        port_ = server_.bind("127.0.0.1", 0);
        thread_ = std::thread([this] { server_.serve(); });
    }
    ~SmallServer() {
        server_.stop();
        thread_.join();
    }
    int port() const { return port_; }

private:
    backend::HttpServer server_;
    int port_ = -1;
    std::thread thread_;
};

std::string statusLine(const std::string& answer) { return answer.substr(0, answer.find("\r\n")); }

}  // namespace

using HttpLimits = BackendTest;

TEST_F(HttpLimits, ChunkedBodiesAndHugeHeadsAreRefusedWithAnEnvelope) {
    RawClient chunked(backend_->port());
    ASSERT_TRUE(chunked.send("POST /?ct=app&ac=cps HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n"
                             "Content-Type: application/x-www-form-urlencoded\r\n\r\n10000\r\n" +
                             std::string(4096, 'a')));
    const std::string refused = chunked.receive();
    EXPECT_EQ(statusLine(refused), "HTTP/1.1 411 Length Required");
    EXPECT_NE(refused.find("\"code\":4"), std::string::npos) << refused;

    std::string manyHeaders = "GET / HTTP/1.1\r\nHost: x\r\n";
    for (int line = 0; line < 200; ++line) manyHeaders += "X-" + std::to_string(line) + ": y\r\n";
    RawClient tooMany(backend_->port());
    ASSERT_TRUE(tooMany.send(manyHeaders + "\r\n"));
    EXPECT_EQ(statusLine(tooMany.receive()), "HTTP/1.1 431 Request Header Fields Too Large");

    // A head that never ends is cut off at its size limit, not read for ever.
    RawClient endless(backend_->port());
    ASSERT_TRUE(endless.send("GET / HTTP/1.1\r\nX-Long: " + std::string(64 * 1024, 'z')));
    EXPECT_EQ(statusLine(endless.receive()), "HTTP/1.1 431 Request Header Fields Too Large");

    // The server goes on serving.
    EXPECT_EQ(client().postSigned("?ct=app&ac=cps").json["code"], 1);
}

TEST(HttpServer, TricklingClientsAreDroppedAtTheirDeadlineWithoutHoldingOthersBack) {
    backend::HttpServer::Limits limits;
    limits.headSeconds = 0.5;
    SmallServer server(limits);
    std::vector<std::unique_ptr<RawClient>> tricklers;
    for (int i = 0; i < 16; ++i) {
        tricklers.push_back(std::make_unique<RawClient>(server.port()));
        ASSERT_TRUE(tricklers.back()->send("GET /?name=slow HTTP/1.1\r\nHo"));
    }
    RawClient prompt(server.port());
    ASSERT_TRUE(prompt.send("GET /?name=%E4%BD%A0+x HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
    const std::string answer = prompt.receive();
    EXPECT_EQ(statusLine(answer), "HTTP/1.1 200 OK");
    EXPECT_NE(answer.find("hello 你 x"), std::string::npos) << answer;

    // Their connections are cut off: they never sent a request to answer.
    for (auto& trickler : tricklers) {
        trickler->send("s");  // still trickling
        EXPECT_EQ(trickler->receive(2000ms), "");
        EXPECT_TRUE(trickler->closedByServer());
    }
}

TEST(HttpServer, ClientsBeyondTheLimitAreToldToComeBack) {
    backend::HttpServer::Limits limits;
    limits.connections = 2;
    SmallServer server(limits);
    RawClient first(server.port()), second(server.port());
    ASSERT_TRUE(first.send("GET / HTTP/1.1\r\nHost: x\r\n\r\n"));
    ASSERT_TRUE(second.send("GET / HTTP/1.1\r\nHost: x\r\n\r\n"));
    EXPECT_EQ(statusLine(first.receive(300ms)), "HTTP/1.1 200 OK");  // kept alive
    EXPECT_EQ(statusLine(second.receive(300ms)), "HTTP/1.1 200 OK");
    RawClient third(server.port());
    ASSERT_TRUE(third.send("GET / HTTP/1.1\r\nHost: x\r\n\r\n"));
    EXPECT_EQ(statusLine(third.receive()), "HTTP/1.1 503 Service Unavailable");
    EXPECT_TRUE(third.closedByServer());
}
