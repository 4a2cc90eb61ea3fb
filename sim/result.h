// The one error convention of the simulated host and the tools: an operation that can fail returns
// a Status (done, or why not) or a Result<T> (the value, or why not). The message is one line for a
// person: what was wrong and where (a file and line, an option, a native and its call).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace sim {

class [[nodiscard]] Status {
public:
    Status() = default;  // done
    static Status Failure(std::string message) {
        Status status;
        status.error_ = message.empty() ? "failed" : std::move(message);
        return status;
    }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Why it failed; empty when it did not.
    const std::string& error() const {
        static const std::string kNone;
        return error_ ? *error_ : kNone;
    }

private:
    std::optional<std::string> error_;
};

inline Status Failure(std::string message) { return Status::Failure(std::move(message)); }

// The one exception: a defect of the program itself, never of what a user gave it (a built-in
// table that does not join, a plug-in calling the hook with no host, the system refusing a fiber).
// Says what on stderr and stops at once, as a failed assertion would.
[[noreturn]] inline void StopOnDefect(const std::string& what) {
    std::fprintf(stderr, "defect: %s\n", what.c_str());
    std::abort();
}

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: a value converts, as a failure does
    Result(Status failure) : status_(std::move(failure)) {
        if (status_.ok()) status_ = Failure("a result without a value");
    }

    bool ok() const { return status_.ok(); }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return status_.error(); }
    const Status& status() const { return status_; }

    // Only when ok().
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace sim
