#pragma once

// Results that carry either a value or a message saying why there is none. The host and the
// renderer report every failure this way; nothing is thrown across the plug-in boundary.

#include <string>
#include <utility>
#include <variant>

struct Failure {
    std::string message;
};

// Success, or a Failure with its message.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Failure failure) : failure_(std::move(failure.message)), failed_(true) {}

    explicit operator bool() const { return !failed_; }
    const std::string& message() const { return failure_; }
    Failure failure() const { return Failure{failure_}; }

private:
    std::string failure_;
    bool failed_ = false;
};

// A value of type T, or a Failure with its message.
template <class T>
class [[nodiscard]] Expected {
public:
    Expected(T value) : state_(std::move(value)) {}
    Expected(Failure failure) : state_(std::move(failure)) {}

    explicit operator bool() const { return std::holds_alternative<T>(state_); }
    T& value() { return std::get<T>(state_); }
    const T& value() const { return std::get<T>(state_); }
    const std::string& message() const { return std::get<Failure>(state_).message; }
    // The failure, for passing it on to a caller that expects another type.
    Failure failure() const { return std::get<Failure>(state_); }

private:
    std::variant<T, Failure> state_;
};
