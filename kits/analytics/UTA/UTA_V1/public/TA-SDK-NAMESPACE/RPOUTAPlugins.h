#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "foundation/NSObject.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

// The optional plug-ins that extend the library from outside it. Each holder
// is one shared object with a delegate slot that a plug-in fills; while the
// slot is empty the library's hook does nothing.

// Reports the install channel at every session event.
class RPOUTAInstallProtocol {
public:
    virtual ~RPOUTAInstallProtocol() = default;
    virtual bool checkReportEnable() = 0;
    virtual std::optional<std::string> getInstallChannel() = 0;
    virtual void reportInstallEvent() = 0;
};

// Supplies the advertising identifier when the settings hold none.
class RPOUTAIDFAProtocol {
public:
    virtual ~RPOUTAIDFAProtocol() = default;
    virtual std::optional<std::string> getIDFA() = 0;
};

// A MID provider; the library calls nothing on it.
class RPOUTAMidProtocol {
public:
    virtual ~RPOUTAMidProtocol() = default;
};

// Keeps the device identifier outside the app's own storage.
class RPOUTAExtStorage {
public:
    virtual ~RPOUTAExtStorage() = default;
    virtual std::optional<std::string> loadValue(const std::string& key) = 0;
    virtual void storeValue(const std::string& value, const std::string& key) = 0;
};

// Measures the network when the online configuration asks for it.
class RPOUTASpeedTestProtocol {
public:
    virtual ~RPOUTASpeedTestProtocol() = default;
    virtual void startTest(const std::string& target) = 0;
};

// A holder whose shared instance is made by the first class that asks for
// it: `Holder::getInstance<Subclass>()` asked first gives a Subclass.
template <class Holder> class RPOUTAPluginHolder : public NSObject {
public:
    template <class Asking = Holder> static Ref<Holder> getInstance() {
        static_assert(std::is_base_of_v<Holder, Asking>);
        return UTASharedSlotOf<Holder>().get([] { return Ref<Holder>(make<Asking>()); });
    }
};

// A delegate slot guarded for reads and writes from any thread; `Strong`
// keeps the delegate alive, otherwise the slot holds it weakly.
template <class Protocol, bool Strong> class RPOUTADelegateSlot {
public:
    Ref<Protocol> get() const {
        std::lock_guard lock(mutex_);
        if constexpr (Strong) return delegate_;
        else return delegate_.lock();
    }
    void set(const Ref<Protocol>& delegate) {
        std::lock_guard lock(mutex_);
        delegate_ = delegate;
    }

private:
    mutable std::mutex mutex_;
    std::conditional_t<Strong, Ref<Protocol>, WeakRef<Protocol>> delegate_;
};

class RPOUTAPluginInstall : public RPOUTAPluginHolder<RPOUTAPluginInstall> {
public:
    std::string className() const override { return "RPOUTAPluginInstall"; }
    Ref<RPOUTAInstallProtocol> delegate() const { return delegate_.get(); }
    void setDelegate(const Ref<RPOUTAInstallProtocol>& delegate) { delegate_.set(delegate); }

private:
    RPOUTADelegateSlot<RPOUTAInstallProtocol, false> delegate_;
};

class RPOUTAPluginIDFA : public RPOUTAPluginHolder<RPOUTAPluginIDFA> {
public:
    std::string className() const override { return "RPOUTAPluginIDFA"; }
    Ref<RPOUTAIDFAProtocol> delegate() const { return delegate_.get(); }
    void setDelegate(const Ref<RPOUTAIDFAProtocol>& delegate) { delegate_.set(delegate); }

private:
    RPOUTADelegateSlot<RPOUTAIDFAProtocol, true> delegate_;
};

class RPOUTAMidPlugin : public RPOUTAPluginHolder<RPOUTAMidPlugin> {
public:
    std::string className() const override { return "RPOUTAMidPlugin"; }
    Ref<RPOUTAMidProtocol> delegate() const { return delegate_.get(); }
    void setDelegate(const Ref<RPOUTAMidProtocol>& delegate) { delegate_.set(delegate); }

private:
    RPOUTADelegateSlot<RPOUTAMidProtocol, false> delegate_;
};

class RPOUTAExtStoragePlugin : public NSObject {
public:
    static Ref<RPOUTAExtStoragePlugin> sharedInstance();
    std::string className() const override { return "RPOUTAExtStoragePlugin"; }
    Ref<RPOUTAExtStorage> delegate() const { return delegate_.get(); }
    void setDelegate(const Ref<RPOUTAExtStorage>& delegate) { delegate_.set(delegate); }

private:
    RPOUTADelegateSlot<RPOUTAExtStorage, true> delegate_;
};

class RPOUTASpeedTestPlugin : public NSObject {
public:
    static Ref<RPOUTASpeedTestPlugin> sharedInstance();
    std::string className() const override { return "RPOUTASpeedTestPlugin"; }
    Ref<RPOUTASpeedTestProtocol> speedTestProtocol() const { return delegate_.get(); }
    // Keeps the delegate (weakly) and, when the online configuration has
    // asked for a speed test, starts it at once.
    void setSpeedTestProtocol(const Ref<RPOUTASpeedTestProtocol>& delegate);
    // Records the measured result as a speed-test event.
    void reportSpeedEvent(const std::optional<std::string>& speed);

private:
    RPOUTADelegateSlot<RPOUTASpeedTestProtocol, false> delegate_;
};
