#pragma once

#include <QString>

#include <optional>
#include <utility>

// What an operation of the platform or start-up gave: success (with its value, if it has one),
// or a reason the operator can read. Test it before use:
//     if (const Result<> r = files.makeCurrent(); !r) { report(r.reason()); }
template <typename T = void> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    [[nodiscard]] static Result failure(QString reason) { return Result(std::nullopt, std::move(reason)); }

    [[nodiscard]] bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only on success.
    [[nodiscard]] const T &value() const { return *m_value; }
    // Only on failure.
    [[nodiscard]] const QString &reason() const { return m_reason; }

private:
    Result(std::nullopt_t, QString reason)
        : m_reason(std::move(reason))
    {
    }
    std::optional<T> m_value;
    QString m_reason;
};

template <> class [[nodiscard]] Result<void> {
public:
    [[nodiscard]] static Result success() { return Result(true, {}); }
    [[nodiscard]] static Result failure(QString reason) { return Result(false, std::move(reason)); }

    [[nodiscard]] bool ok() const { return m_ok; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] const QString &reason() const { return m_reason; }

private:
    Result(bool ok, QString reason)
        : m_ok(ok)
        , m_reason(std::move(reason))
    {
    }
    bool m_ok;
    QString m_reason;
};

// The system's description of an errno value.
[[nodiscard]] QString systemErrorText(int error);
