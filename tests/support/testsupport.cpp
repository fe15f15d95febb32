#include "tests/support/testsupport.h"

#include "session/startup.h"

#include <throngkit/version.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace throngkit::test {

QByteArray ProgramTitle()
{
    return TitleFor(ProgramVersion(version::Major, version::Minor, version::Revision)).toUtf8();
}

std::unique_ptr<Settings> NewSettings()
{
    auto settings = std::make_unique<Settings>();
    InitialiseSettings(*settings);
    return settings;
}

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
    return path;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString WriteTable(const QTemporaryDir &dir, const QString &name, const QByteArray &caption,
                   const QByteArray &rows)
{
    return WriteFile(dir, name, caption + "\r\n" + rows);
}

#ifdef Q_OS_WIN
QString SystemReason(unsigned long error)
{
    wchar_t *text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString reason = QString::fromWCharArray(text).trimmed();
    ::LocalFree(text);
    return reason.endsWith(u'.') ? reason.chopped(1) : reason;   // the program's message goes on
}

QString NoSuchFile() { return SystemReason(ERROR_FILE_NOT_FOUND); }
QString NoSuchFolder() { return SystemReason(ERROR_PATH_NOT_FOUND); }
#else
QString NoSuchFile() { return QStringLiteral("No such file or directory"); }
QString NoSuchFolder() { return NoSuchFile(); }

std::optional<QString> InChildProcess(const std::function<QString()> &action, std::optional<long> fileSizeLimit)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (fileSizeLimit) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit cap{rlim_t(*fileSizeLimit), rlim_t(*fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &cap);
        }
        const QByteArray text = action().toUtf8();
        qsizetype sent = 0;
        while (sent < text.size()) {
            const ssize_t n = ::write(channel[1], text.constData() + sent, size_t(text.size() - sent));
            if (n <= 0)
                ::_exit(3);
            sent += n;
        }
        ::_exit(0);   // no exit handlers: they belong to the parent
    }
    ::close(channel[1]);
    if (child < 0) {
        ::close(channel[0]);
        return std::nullopt;
    }
    QByteArray text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return QString::fromUtf8(text);
}

#endif

} // namespace throngkit::test
