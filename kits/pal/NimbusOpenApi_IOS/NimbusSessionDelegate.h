#pragma once

// What the Pal kit tells its session delegate about a login. Every callback
// is optional; the defaults do nothing.
class NimbusSessionDelegate {
public:
    virtual ~NimbusSessionDelegate() = default;

    virtual void nimbusDidLogin() {}
    virtual void nimbusDidNotLogin(bool /*cancelled*/) {}
    virtual void nimbusDidNotNetWork() {}
};
