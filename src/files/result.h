#pragma once

#include <optional>
#include <string>
#include <utility>

namespace corvane {

/// Why a file operation failed. Messages are Chinese, ready to show.
struct Error {
    enum class Kind {
        Io,    // a file could not be read or written
        Data,  // the data cannot be read or written as asked
    };
    Kind kind = Kind::Data;
    std::string message;
    int line = -1;    // 1-based line of an input file, -1 when none
    int row = -1;     // 0-based table row, -1 when none
    int column = -1;  // table column, -1 when none

    static Error io(std::string message) { return {Kind::Io, std::move(message)}; }
    static Error data(std::string message) { return {Kind::Data, std::move(message)}; }
};

/// A value or the Error that prevented it.
template <class T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *m_value; }
    const T& value() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    const Error& error() const { return m_error; }

private:
    std::optional<T> m_value;
    Error m_error;
};

struct Done {};
using Status = Result<Done>;
inline Status success() {
    return Done{};
}

}  // namespace corvane
