#pragma once

#include <QString>

#include <utility>

namespace throngkit {

// What an operation that can fail hands back: nothing on success, the reason otherwise. The
// reason is a sentence for the user, naming the file or the input at fault. Ignoring one is a
// compiler warning: a failure nobody looks at is a failure passed off as success.
class [[nodiscard]] Outcome
{
public:
    static Outcome success() { return Outcome(); }
    // subject names what is at fault when a front words the failure for its own controls or
    // options (a request's field, such as "count"); empty when the reason says it all.
    static Outcome failure(QString reason, QString subject = QString())
    {
        return Outcome(std::move(reason), std::move(subject));
    }

    bool ok() const noexcept { return m_reason.isEmpty(); }
    explicit operator bool() const noexcept { return ok(); }
    const QString &reason() const noexcept { return m_reason; }
    const QString &subject() const noexcept { return m_subject; }

private:
    Outcome() = default;
    Outcome(QString reason, QString subject) : m_reason(std::move(reason)), m_subject(std::move(subject))
    {
        if (m_reason.isEmpty())
            m_reason = QStringLiteral("Unknown failure.");
    }

    QString m_reason;
    QString m_subject;
};

// An Outcome that carries what the operation produced when it succeeded (the caption of a
// loaded table, a value read from the user's text).
template <typename T>
class [[nodiscard]] Result
{
public:
    static Result success(T value) { return Result(Outcome::success(), std::move(value)); }
    static Result failure(QString reason) { return Result(Outcome::failure(std::move(reason)), T{}); }
    // Passes on a failure of another operation; failed must not be ok().
    static Result failure(Outcome failed) { return Result(std::move(failed), T{}); }

    bool ok() const noexcept { return m_outcome.ok(); }
    explicit operator bool() const noexcept { return ok(); }
    const QString &reason() const noexcept { return m_outcome.reason(); }
    const Outcome &outcome() const noexcept { return m_outcome; }
    // Meaningful only when ok(): a failure holds a default-made value.
    const T &value() const noexcept { return m_value; }

private:
    Result(Outcome outcome, T value) : m_outcome(std::move(outcome)), m_value(std::move(value)) {}

    Outcome m_outcome;
    T m_value;
};

} // namespace throngkit
