#include "foundation/NSThread.h"

#include <pthread.h>
#include <unistd.h>

#include <thread>

namespace {
thread_local Ref<NSThread> current;
}  // namespace

Ref<NSThread> NSThread::currentThread() {
    if (!current) current = make<NSThread>();
    return current;
}

bool NSThread::isMainThread() { return gettid() == getpid(); }

void NSThread::detachNewThreadWithBlock(std::function<void()> block, std::string name) {
    auto thread = make<NSThread>();
    thread->name_ = std::move(name);
    std::thread([thread, block = std::move(block)] {
        current = thread;
        thread->setName(thread->name());
        block();
    }).detach();
}

std::string NSThread::name() const {
    std::lock_guard lock(mutex_);
    return name_;
}

void NSThread::setName(std::string name) {
    if (current.get() == this) pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
    std::lock_guard lock(mutex_);
    name_ = std::move(name);
}
