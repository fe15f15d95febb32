#pragma once

#include <QString>

namespace throngkit {

// What an operation that can fail hands back: nothing on success, the reason otherwise. The
// reason is a sentence for the user, naming the file or the input at fault.
class Outcome
{
public:
    static Outcome success() { return Outcome(); }
    static Outcome failure(QString reason) { return Outcome(std::move(reason)); }

    bool ok() const noexcept { return m_reason.isEmpty(); }
    explicit operator bool() const noexcept { return ok(); }
    const QString &reason() const noexcept { return m_reason; }

private:
    Outcome() = default;
    explicit Outcome(QString reason) : m_reason(std::move(reason))
    {
        if (m_reason.isEmpty())
            m_reason = QStringLiteral("Unknown failure.");
    }

    QString m_reason;
};

} // namespace throngkit
