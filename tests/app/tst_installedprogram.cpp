// The installed program as a user meets it: installed under a prefix (DESTDIR), its folders
// read-only, started under its own X display. Skips where Xvfb, openbox or xdotool is missing.
#include "common/gbkcodec.h"
#include "platform/desktopsession.h"

#include "common/twips.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct ToolResult
{
    int exitCode = -1;
    QByteArray output;
};

ToolResult runTool(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        process.kill();
    process.waitForFinished();
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {status, process.readAllStandardOutput() + process.readAllStandardError()};
}

// Every file and folder below `root` with its size and modification time.
// What went from `before` and what came in `after`, entry by entry.
QString differences(const QStringList &before, const QStringList &after)
{
    QStringList lines;
    for (const QString &entry : before) {
        if (!after.contains(entry))
            lines.append(QStringLiteral("gone: ") + entry);
    }
    for (const QString &entry : after) {
        if (!before.contains(entry))
            lines.append(QStringLiteral("new: ") + entry);
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList snapshot(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        // The running program's own background work (the search index) opens and closes
        // SQLite journals and write-ahead logs at any moment; they say nothing about what a
        // start touched.
        const QString name = info.fileName();
        if (name.endsWith(QStringLiteral("-journal")) || name.endsWith(QStringLiteral("-wal"))
            || name.endsWith(QStringLiteral("-shm")))
            continue;
        entries.append(QStringLiteral("%1 %2 %3").arg(info.filePath()).arg(info.isDir() ? 0 : info.size())
                           .arg(info.lastModified().toMSecsSinceEpoch()));
    }
    entries.sort();
    return entries;
}

} // namespace

class TestInstalledProgram : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QTemporaryDir m_home;
    DesktopSession m_session;
    std::unique_ptr<QProcess> m_running;
    QStringList m_installedTree;

    QString program() const { return m_root.filePath(u"usr/bin/notavo"_s); }
    QString data(const QString &name = {}) const { return m_home.filePath(u"data/Notavo/"_s + name); }

    QProcessEnvironment programEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_QPA_PLATFORM"_s);
        environment.insert(u"DISPLAY"_s, QString::fromLatin1(m_session.display()));
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u"data"_s));
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_home.filePath(u"run"_s));
        environment.insert(u"NOTAVO_START_IN_PEN_MODE"_s, u"1"_s);
        return environment;
    }

    // Starts the installed program; it runs once it holds the lock and listens on its socket
    // (a socket file may be left by a killed one).
    bool startRunningProgram()
    {
        m_running = std::make_unique<QProcess>();
        m_running->setProcessEnvironment(programEnvironment());
        m_running->setProcessChannelMode(QProcess::ForwardedChannels);
        m_running->start(program(), {});
        m_running->waitForStarted();
        QFile lock(m_home.filePath(u"run/notavo.lock"_s));
        for (int wait = 0; wait < 150 && m_running->state() == QProcess::Running; ++wait) {
            const bool locked = lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed().toLongLong() == m_running->processId();
            lock.close();
            const QFileInfo socket(m_home.filePath(u"run/notavo.socket"_s));
            if (locked && socket.exists() && socket.lastModified() >= QFileInfo(lock).lastModified())
                return true;
            QTest::qWait(100);
        }
        return false;
    }

    ToolResult startAgain(const QStringList &arguments) { return runTool(program(), arguments, programEnvironment()); }

    bool hasWindow(const QString &name, QString *window = nullptr)
    {
        const ToolResult found = runTool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--pid"_s,
                                                     QString::number(m_running->processId()), u"--name"_s, name});
        const QString first = QString::fromLatin1(found.output).section(u'\n', 0, 0);
        if (window)
            *window = first;
        return !first.isEmpty();
    }

private slots:
    void initTestCase()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DESTDIR"_s, m_root.path());
        const ToolResult install =
            runTool(QStringLiteral(NOTAVO_CMAKE_COMMAND),
                    {u"--install"_s, QStringLiteral(NOTAVO_BUILD_DIR), u"--prefix"_s, u"/usr"_s}, environment);
        QVERIFY2(install.exitCode == 0, install.output.constData());
        // As a system-wide install is: nobody may write there, root only by ignoring the mode bits.
        QCOMPARE(runTool(u"chmod"_s, {u"-R"_s, u"a-w"_s, m_root.filePath(u"usr"_s)}).exitCode, 0);
        m_installedTree = snapshot(m_root.path());
        QVERIFY(QDir().mkpath(m_home.filePath(u"run"_s)));
        QFile::setPermissions(m_home.filePath(u"run"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void cleanupTestCase()
    {
        if (m_running) {
            m_running->kill();
            m_running->waitForFinished();
        }
        runTool(u"chmod"_s, {u"-R"_s, u"u+w"_s, m_root.path()});
    }

    void installedProgramKeepsItsDataPerUser()
    {
        // The package's contents are checked in full by the debian_package test.
        QCOMPARE(QDir(m_root.filePath(u"usr/bin"_s)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), {u"notavo"_s});
        QVERIFY(QFileInfo::exists(m_root.filePath(u"usr/share/notavo/readme.txt"_s)));
        const ToolResult version = runTool(program(), {u"--version"_s}); // needs no display
        QVERIFY2(version.exitCode == 0 && version.output.contains(NOTAVO_VERSION), version.output.constData());

        if (!m_session.startDisplay() || !m_session.startWindowManager())
            QSKIP(qPrintable(m_session.error()));
        if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty() || QStandardPaths::findExecutable(u"xclip"_s).isEmpty())
            QSKIP("xdotool or xclip is not installed");
        qputenv("DISPLAY", m_session.display());
        // A stored save folder, relative to the program folder.
        QVERIFY(QDir().mkpath(data(u"myText"_s)));
        QFile settings(data(u"filePath.ini"_s));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[MyFileApp]\nsaveFilePATH=myText\neditFilePATH=Notavo\n");
        settings.close();

        QVERIFY(startRunningProgram());
        QTest::qWait(2500); // the splash closes after two seconds
        QProcess *clipboard = m_session.startProgram(u"xclip"_s, {u"-quiet"_s, u"-selection"_s, u"clipboard"_s},
                                                     {u"DISPLAY="_s + QString::fromLatin1(m_session.display())});
        QVERIFY(clipboard);
        clipboard->write(u"安装后的记录\n第二行"_s.toUtf8());
        clipboard->closeWriteChannel();

        // The pen box grows to full size with the text; its first category button is 小说.
        QString capture;
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow(u"^Notavo$"_s, &capture), 10000);
        QTest::qWait(500);
        QCOMPARE(runTool(u"xdotool"_s, {u"mousemove"_s, u"--window"_s, capture, u"24"_s, u"281"_s, u"click"_s, u"1"_s}).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(data(u"myText"_s)).entryList({u"*.txt"_s}).isEmpty(), 10000);
        QVERIFY(QFileInfo(data(u"filelist.db"_s)).size() > 0);
        QCOMPARE(snapshot(m_root.path()), m_installedTree);
    }

    void secondStartHandsOverAndTouchesNothing()
    {
        if (!m_running || m_running->state() != QProcess::Running)
            QSKIP("the installed program does not run");
        QFile file(m_home.filePath(u"交来的文件.txt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Gbk::encode(u"命令行打开的文件"));
        file.close();
        const QStringList before = snapshot(m_home.path());

        // A file named on the command line opens in the running program's editor, whose
        // help key shows the installed help document.
        const ToolResult withFile = startAgain({file.fileName()});
        QVERIFY2(withFile.exitCode == 0, withFile.output.constData());
        QString editor;
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow(u"交来的文件"_s, &editor), 10000);
        runTool(u"xdotool"_s, {u"windowactivate"_s, u"--sync"_s, editor});
        runTool(u"xdotool"_s, {u"key"_s, u"F1"_s});
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow(u"帮助主题"_s), 10000);

        // A plain second start brings the history browser forward.
        const ToolResult plain = startAgain({});
        QVERIFY2(plain.exitCode == 0, plain.output.constData());
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow(u"历史记录"_s), 10000);

        const QStringList after = snapshot(m_home.path());
        QVERIFY2(after == before, qPrintable(differences(before, after)));
        QCOMPARE(snapshot(m_root.path()), m_installedTree);
    }

    void desktopActionsReachTheRunningProgram()
    {
        if (!m_running || m_running->state() != QProcess::Running)
            QSKIP("the installed program does not run");
        // The desktop entry's actions, as the desktop's menu runs them: the tray's entries for a
        // desktop without a tray (the test's window manager has none).
        QFile entry(m_root.filePath(u"usr/share/applications/io.github.notavo.Notavo.desktop"_s));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.contains(u"\nActions=Pen;Web;History;Settings;Editor;\n"_s));
        const auto runAction = [&](const QString &action) {
            const QString group = u"[Desktop Action "_s + action + u"]\n"_s;
            const QString exec = text.section(group, 1).section(u"\n\n"_s, 0, 0).section(u"Exec="_s, 1).section(u'\n', 0, 0);
            const QStringList command = exec.split(u' ');
            if (command.size() != 2 || command.constFirst() != u"notavo"_s)
                return ToolResult{-1, "no action " + action.toUtf8()};
            return startAgain(command.mid(1));
        };

        // The capture window among the program's windows called Notavo (the editor's frame is one).
        const auto visibleCaptureWidth = [this] {
            const ToolResult found = runTool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--pid"_s,
                                                         QString::number(m_running->processId()), u"--name"_s, u"^Notavo$"_s});
            for (const QString &window : QString::fromLatin1(found.output).split(u'\n', Qt::SkipEmptyParts)) {
                const QString shape = QString::fromLatin1(runTool(u"xdotool"_s, {u"getwindowgeometry"_s, u"--shell"_s, window}).output);
                const auto value = [&shape](const QString &key) { return shape.section(key + u"="_s, 1).section(u'\n', 0, 0).toInt(); };
                if (value(u"Y"_s) == 0 && value(u"HEIGHT"_s) <= Twips::toPixels(5000))
                    return value(u"WIDTH"_s);
            }
            return 0;
        };
        QVERIFY(visibleCaptureWidth() > 0);
        // Web mode hides the box until the pointer comes to the top edge; pen mode shows the box.
        runTool(u"xdotool"_s, {u"mousemove"_s, u"600"_s, u"500"_s});
        ToolResult done = runAction(u"Web"_s);
        QVERIFY2(done.exitCode == 0, done.output.constData());
        QTRY_COMPARE_WITH_TIMEOUT(visibleCaptureWidth(), 0, 10000);
        done = runAction(u"Pen"_s);
        QVERIFY2(done.exitCode == 0, done.output.constData());
        QTRY_COMPARE_WITH_TIMEOUT(visibleCaptureWidth(), Twips::toPixels(1050), 10000);

        for (const auto &[action, title] : {std::pair{u"History"_s, u"历史记录"_s}, {u"Settings"_s, u"系统设置"_s}}) {
            done = runAction(action);
            QVERIFY2(done.exitCode == 0, done.output.constData());
            QTRY_VERIFY_WITH_TIMEOUT(hasWindow(title), 10000);
        }
    }

    void staleLockDoesNotBlockTheNextStart()
    {
        if (!m_running || m_running->state() != QProcess::Running)
            QSKIP("the installed program does not run");
        m_running->kill();
        m_running->waitForFinished();
        QVERIFY(QFileInfo::exists(m_home.filePath(u"run/notavo.lock"_s)));

        QVERIFY(startRunningProgram());
        const ToolResult plain = startAgain({});
        QVERIFY2(plain.exitCode == 0, plain.output.constData());
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow(u"历史记录"_s), 10000);
    }
};

QTEST_GUILESS_MAIN(TestInstalledProgram)
#include "tst_installedprogram.moc"
