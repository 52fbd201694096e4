// Built into every test binary. The tests' HTTP clients and stand-in servers
// (cpp-httplib, over OpenSSL for TLS) write with plain write()/send(), which
// raise SIGPIPE when the back end under test has already closed the
// connection, as it may (a refused upload, an idle or over-limit socket, a
// cancelled request). A hung-up peer must fail that one exchange, and the
// test then checks what it got; it must not kill the whole binary. The
// runner ignores SIGPIPE the same way, so the code under test runs as it
// does there.
#include <csignal>

namespace {

const bool brokenPipesIgnored = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();

}  // namespace
