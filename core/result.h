#pragma once

// The one shape of every fallible operation in the project: a value, or the reason there is
// none. The reason is a text shown to the user verbatim unless the operation names another
// error type (the renderer's ProcessingFailure, say).

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace quillhaven {

template <typename T, typename E = std::string>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(E error)
        requires(!std::is_same_v<T, E>)
        : state_(std::in_place_index<1>, std::move(error)) {}
    static Result failure(E error) { return Result(std::in_place_index<1>, std::move(error)); }

    bool succeeded() const { return state_.index() == 0; }
    // Only valid when succeeded().
    const T& value() const { return std::get<0>(state_); }
    T& value() { return std::get<0>(state_); }
    // Only valid when !succeeded().
    const E& error() const { return std::get<1>(state_); }
    // The failure's text; empty on success.
    std::string errorDescription() const
        requires std::is_same_v<E, std::string>
    {
        return succeeded() ? std::string() : error();
    }

private:
    template <std::size_t index, typename Arg>
    Result(std::in_place_index_t<index> tag, Arg&& arg) : state_(tag, std::forward<Arg>(arg)) {}
    std::variant<T, E> state_;
};

// Success, or a failure with its reason.
template <typename E>
class [[nodiscard]] Result<void, E> {
public:
    static Result success() { return Result(); }
    static Result failure(E error) { return Result(std::move(error)); }

    bool succeeded() const { return !error_.has_value(); }
    // Only valid when !succeeded().
    const E& error() const { return *error_; }
    // The failure's text; empty on success.
    std::string errorDescription() const
        requires std::is_same_v<E, std::string>
    {
        return error_.value_or(std::string());
    }

private:
    Result() = default;
    explicit Result(E error) : error_(std::move(error)) {}
    std::optional<E> error_;
};

using Outcome = Result<void>;

}  // namespace quillhaven
