#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

// A block kept in a member (a view's tap block, a sink's receiver, a
// manager's status block): assigned, cleared, tested and called as a
// std::function is.
//
// The one difference: a call keeps the block it runs, with everything it
// captured, alive until it returns. A block that clears or replaces the
// member it is called from (a close block that gives its view another
// close block, a log block that stops the log) therefore finishes with its
// captures intact. The change takes effect at once for every later call,
// nested calls from inside the running block included; the running block
// is destroyed when the last call of it returns.
//
// Copies are independent, as std::function's are: a copy holds its own
// copy of the callable. Like std::function it is not safe to change from
// one thread while another reads it.
template <class Signature>
class StoredBlock;

template <class R, class... Args>
class StoredBlock<R(Args...)> {
public:
    using Function = std::function<R(Args...)>;

    StoredBlock() noexcept = default;
    StoredBlock(std::nullptr_t) noexcept {}
    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, StoredBlock> && std::is_constructible_v<Function, F>)
    StoredBlock(F&& f) : block_(wrap(Function(std::forward<F>(f)))) {}

    StoredBlock(const StoredBlock& other) : block_(other.block_ ? std::make_shared<Function>(*other.block_) : nullptr) {}
    StoredBlock(StoredBlock&&) noexcept = default;
    StoredBlock& operator=(const StoredBlock& other) {
        if (this != &other) replace(StoredBlock(other).block_);
        return *this;
    }
    StoredBlock& operator=(StoredBlock&& other) noexcept {
        if (this != &other) replace(std::exchange(other.block_, nullptr));
        return *this;
    }
    StoredBlock& operator=(std::nullptr_t) noexcept {
        replace(nullptr);
        return *this;
    }
    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, StoredBlock> && std::is_constructible_v<Function, F>)
    StoredBlock& operator=(F&& f) {
        replace(wrap(Function(std::forward<F>(f))));
        return *this;
    }

    explicit operator bool() const noexcept { return block_ != nullptr; }
    friend bool operator==(const StoredBlock& block, std::nullptr_t) noexcept { return !block; }

    // Calls the block stored now; empty, it throws std::bad_function_call
    // as an empty std::function does.
    R operator()(Args... args) const {
        if (!block_) throw std::bad_function_call();
        const std::shared_ptr<Function> running = block_;
        return (*running)(std::forward<Args>(args)...);
    }

    // A std::function calling what is stored now (empty when nothing is),
    // for handing the block on.
    Function function() const { return block_ ? *block_ : Function(); }

private:
    static std::shared_ptr<Function> wrap(Function f) {
        return f ? std::make_shared<Function>(std::move(f)) : nullptr;
    }
    // The old block is released after the member holds the new one, so
    // that whatever its destruction sets off sees the member as it now is.
    void replace(std::shared_ptr<Function> block) noexcept {
        std::shared_ptr<Function> old = std::exchange(block_, std::move(block));
        old.reset();
    }

    std::shared_ptr<Function> block_;
};
