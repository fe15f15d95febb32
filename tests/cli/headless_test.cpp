// The built program, started as a script would start it: no display, its own home.
#include "tests/support/testsupport.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
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

Finished Start(const QTemporaryDir &home, const QStringList &arguments,
                const QStringList &extraEnvironment = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "WINDIR"})
        environment.insert(QString::fromLatin1(name), home.path());
    for (const QString &setting : extraEnvironment)
        environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));

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
    EXPECT_TRUE(version.out.startsWith(throngkit::test::ProgramTitle())) << version.out.constData();
}

// The libraries that the dynamic loader maps, as LD_DEBUG=libs reports them on stderr.
QStringList MappedLibraries(const QByteArray &loaderLog)
{
    QStringList libraries;
    // Libraries needed by name show as "find library=NAME [0]; searching", every one that is
    // mapped (also by dlopen with a path) as "calling init: PATH".
    static const QRegularExpression entry(QStringLiteral("(?:find library=|calling init: )([^ ;]+)"));
    for (const QByteArray &line : loaderLog.split('\n')) {
        const QRegularExpressionMatch match = entry.match(QString::fromLocal8Bit(line));
        if (match.hasMatch())
            libraries << match.captured(1);
    }
    return libraries;
}

// A script that makes a hundred rabbles must not pay a hundred times for the windows' libraries.
TEST(Headless, CommandsMapNoWindowLibraries)
{
    const QRegularExpression windowLibrary(QStringLiteral(
        "(^|/)lib(Qt6(Gui|Widgets|PrintSupport|XcbQpa|WaylandClient|OpenGL)|X11|xcb|wayland|GL|EGL|"
        "OpenGL|GLX|xkbcommon)[^/]*$|throngkit_desktop"));
    const QStringList commands[] = {
        {QStringLiteral("generate"), QStringLiteral("--count"), QStringLiteral("1000"),
         QStringLiteral("--format"), QStringLiteral("htm"), QStringLiteral("-o"),
         QStringLiteral("rabble.htm")},
        {QStringLiteral("--help")},
        {QStringLiteral("--version")},
        {QStringLiteral("no-such-command")},
    };
    for (const QStringList &command : commands) {
        SCOPED_TRACE(command.join(u' ').toStdString());
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        WriteFile(home, QStringLiteral("TK-WP-RQ1.DAT"), ReadFile(SourceTable(QStringLiteral("tk-wp-rq1.dat"))));
        const Finished run = Start(home, command, {QStringLiteral("LD_DEBUG=libs")});
        EXPECT_NE(run.status, -1);
        const QStringList mapped = MappedLibraries(run.err);
        // The log names Qt Core, so an empty list cannot pass for a clean one.
        EXPECT_FALSE(mapped.filter(QStringLiteral("libQt6Core")).isEmpty()) << run.err.constData();
        EXPECT_EQ(mapped.filter(windowLibrary).join(u' ').toStdString(), "");
    }
}

// Without arguments the program still reaches the windows: their library loads and asks Qt for
// a window system (here one that does not exist, so that the run ends without a window on screen).
TEST(Headless, NoArgumentsLoadTheWindows)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const Finished run = Start(home, {}, {QStringLiteral("LD_DEBUG=libs"),
                                          QStringLiteral("QT_QPA_PLATFORM=no-such-platform")});
    const QStringList mapped = MappedLibraries(run.err);
    EXPECT_FALSE(mapped.filter(QStringLiteral("throngkit_desktop")).isEmpty()) << run.err.constData();
    EXPECT_FALSE(mapped.filter(QStringLiteral("libQt6Widgets")).isEmpty()) << run.err.constData();
    EXPECT_TRUE(run.err.contains("no-such-platform")) << run.err.constData();
}

} // namespace
