// The built program, started as a script would start it: no display, its own home.
#include "tests/support/testsupport.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using throngkit::test::ReadFile;
using throngkit::test::SourceTable;
using throngkit::test::WriteFile;

namespace {

struct Finished
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Finished Start(const QTemporaryDir &home, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "WINDIR"})
        environment.insert(QString::fromLatin1(name), home.path());

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(home.path());
    process.start(QStringLiteral(THRONGKIT_EXECUTABLE), arguments);
    Finished finished;
    EXPECT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    finished.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    finished.out = process.readAllStandardOutput();
    finished.err = process.readAllStandardError();
    return finished;
}

TEST(Headless, RunsWithoutADisplayAndLeavesTheHomeAlone)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // The table in the current directory and no INI: the windows would write one here.
    WriteFile(home, QStringLiteral("TK-WP-RQ1.DAT"), ReadFile(SourceTable(QStringLiteral("tk-wp-rq1.dat"))));

    const QStringList arguments{QStringLiteral("generate"), QStringLiteral("--count"),
                                QStringLiteral("7"), QStringLiteral("--seed"), QStringLiteral("99")};
    const Finished first = Start(home, arguments);
    ASSERT_EQ(first.status, 0) << first.err.constData();
    EXPECT_TRUE(first.err.isEmpty()) << first.err.constData();
    EXPECT_EQ(first.out.count("\r\n"), first.out.count('\n'));
    EXPECT_GE(first.out.count("\r\n"), 8);   // a header and seven members at least
    EXPECT_EQ(Start(home, arguments).out, first.out);
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("TK-WP-RQ1.DAT")});

    const Finished version = Start(home, {QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("Throngkit v6.1")) << version.out.constData();
}

} // namespace
