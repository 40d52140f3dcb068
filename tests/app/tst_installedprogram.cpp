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
QStringList snapshot(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        // The running program's own background work (the search index) opens and closes
        // SQLite journals at any moment; they say nothing about what a start touched.
        if (info.fileName().endsWith(QStringLiteral("-journal")))
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

    QString program() const { return m_root.filePath("usr/bin/notavo"); }
    QString data(const QString &name = {}) const { return m_home.filePath("data/Notavo/" + name); }

    QProcessEnvironment programEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM");
        environment.insert("DISPLAY", QString::fromLatin1(m_session.display()));
        environment.insert("HOME", m_home.path());
        environment.insert("XDG_DATA_HOME", m_home.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", m_home.filePath("run"));
        environment.insert("NOTAVO_START_IN_PEN_MODE", "1");
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
        QFile lock(m_home.filePath("run/notavo.lock"));
        for (int wait = 0; wait < 150 && m_running->state() == QProcess::Running; ++wait) {
            const bool locked = lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed().toLongLong() == m_running->processId();
            lock.close();
            const QFileInfo socket(m_home.filePath("run/notavo.socket"));
            if (locked && socket.exists() && socket.lastModified() >= QFileInfo(lock).lastModified())
                return true;
            QTest::qWait(100);
        }
        return false;
    }

    ToolResult startAgain(const QStringList &arguments) { return runTool(program(), arguments, programEnvironment()); }

    bool hasWindow(const QString &name, QString *window = nullptr)
    {
        const ToolResult found = runTool("xdotool", {"search", "--onlyvisible", "--pid",
                                                     QString::number(m_running->processId()), "--name", name});
        const QString first = QString::fromLatin1(found.output).section(u'\n', 0, 0);
        if (window)
            *window = first;
        return !first.isEmpty();
    }

private slots:
    void initTestCase()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", m_root.path());
        const ToolResult install =
            runTool(NOTAVO_CMAKE_COMMAND, {"--install", NOTAVO_BUILD_DIR, "--prefix", "/usr"}, environment);
        QVERIFY2(install.exitCode == 0, install.output.constData());
        // As a system-wide install is: nobody may write there, root only by ignoring the mode bits.
        QCOMPARE(runTool("chmod", {"-R", "a-w", m_root.filePath("usr")}).exitCode, 0);
        m_installedTree = snapshot(m_root.path());
        QVERIFY(QDir().mkpath(m_home.filePath("run")));
        QFile::setPermissions(m_home.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void cleanupTestCase()
    {
        if (m_running) {
            m_running->kill();
            m_running->waitForFinished();
        }
        runTool("chmod", {"-R", "u+w", m_root.path()});
    }

    void installedProgramKeepsItsDataPerUser()
    {
        // The package's contents are checked in full by the debian_package test.
        QCOMPARE(QDir(m_root.filePath("usr/bin")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), {"notavo"});
        QVERIFY(QFileInfo::exists(m_root.filePath("usr/share/notavo/readme.txt")));
        const ToolResult version = runTool(program(), {"--version"}); // needs no display
        QVERIFY2(version.exitCode == 0 && version.output.contains(NOTAVO_VERSION), version.output.constData());

        if (!m_session.startDisplay() || !m_session.startWindowManager())
            QSKIP(qPrintable(m_session.error()));
        if (QStandardPaths::findExecutable("xdotool").isEmpty() || QStandardPaths::findExecutable("xclip").isEmpty())
            QSKIP("xdotool or xclip is not installed");
        qputenv("DISPLAY", m_session.display());
        // A stored save folder, relative to the program folder.
        QVERIFY(QDir().mkpath(data("myText")));
        QFile settings(data("filePath.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[MyFileApp]\nsaveFilePATH=myText\neditFilePATH=Notavo\n");
        settings.close();

        QVERIFY(startRunningProgram());
        QTest::qWait(2500); // the splash closes after two seconds
        QProcess *clipboard = m_session.startProgram("xclip", {"-quiet", "-selection", "clipboard"},
                                                     {"DISPLAY=" + QString::fromLatin1(m_session.display())});
        QVERIFY(clipboard);
        clipboard->write("安装后的记录\n第二行");
        clipboard->closeWriteChannel();

        // The pen box grows to full size with the text; its first category button is 小说.
        QString capture;
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow("^Notavo$", &capture), 10000);
        QTest::qWait(500);
        QCOMPARE(runTool("xdotool", {"mousemove", "--window", capture, "24", "281", "click", "1"}).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(data("myText")).entryList({"*.txt"}).isEmpty(), 10000);
        QVERIFY(QFileInfo(data("filelist.db")).size() > 0);
        QCOMPARE(snapshot(m_root.path()), m_installedTree);
    }

    void secondStartHandsOverAndTouchesNothing()
    {
        if (!m_running || m_running->state() != QProcess::Running)
            QSKIP("the installed program does not run");
        QFile file(m_home.filePath("交来的文件.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Gbk::encode(u"命令行打开的文件"));
        file.close();
        const QStringList before = snapshot(m_home.path());

        // A file named on the command line opens in the running program's editor, whose
        // help key shows the installed help document.
        const ToolResult withFile = startAgain({file.fileName()});
        QVERIFY2(withFile.exitCode == 0, withFile.output.constData());
        QString editor;
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow("交来的文件", &editor), 10000);
        runTool("xdotool", {"windowactivate", "--sync", editor});
        runTool("xdotool", {"key", "F1"});
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow("帮助主题"), 10000);

        // A plain second start brings the history browser forward.
        const ToolResult plain = startAgain({});
        QVERIFY2(plain.exitCode == 0, plain.output.constData());
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow("历史记录"), 10000);

        QCOMPARE(snapshot(m_home.path()), before);
        QCOMPARE(snapshot(m_root.path()), m_installedTree);
    }

    void desktopActionsReachTheRunningProgram()
    {
        if (!m_running || m_running->state() != QProcess::Running)
            QSKIP("the installed program does not run");
        // The desktop entry's actions, as the desktop's menu runs them: the tray's entries for a
        // desktop without a tray (the test's window manager has none).
        QFile entry(m_root.filePath("usr/share/applications/io.github.notavo.Notavo.desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.contains("\nActions=Pen;Web;History;Settings;Editor;\n"));
        const auto runAction = [&](const QString &action) {
            const QString group = "[Desktop Action " + action + "]\n";
            const QString exec = text.section(group, 1).section("\n\n", 0, 0).section("Exec=", 1).section(u'\n', 0, 0);
            const QStringList command = exec.split(u' ');
            if (command.size() != 2 || command.constFirst() != "notavo")
                return ToolResult{-1, "no action " + action.toUtf8()};
            return startAgain(command.mid(1));
        };

        // The capture window among the program's windows called Notavo (the editor's frame is one).
        const auto visibleCaptureWidth = [this] {
            const ToolResult found = runTool("xdotool", {"search", "--onlyvisible", "--pid",
                                                         QString::number(m_running->processId()), "--name", "^Notavo$"});
            for (const QString &window : QString::fromLatin1(found.output).split(u'\n', Qt::SkipEmptyParts)) {
                const QString shape = QString::fromLatin1(runTool("xdotool", {"getwindowgeometry", "--shell", window}).output);
                const auto value = [&shape](const QString &key) { return shape.section(key + "=", 1).section(u'\n', 0, 0).toInt(); };
                if (value("Y") == 0 && value("HEIGHT") <= Twips::toPixels(5000))
                    return value("WIDTH");
            }
            return 0;
        };
        QVERIFY(visibleCaptureWidth() > 0);
        // Web mode hides the box until the pointer comes to the top edge; pen mode shows the box.
        runTool("xdotool", {"mousemove", "600", "500"});
        ToolResult done = runAction("Web");
        QVERIFY2(done.exitCode == 0, done.output.constData());
        QTRY_COMPARE_WITH_TIMEOUT(visibleCaptureWidth(), 0, 10000);
        done = runAction("Pen");
        QVERIFY2(done.exitCode == 0, done.output.constData());
        QTRY_COMPARE_WITH_TIMEOUT(visibleCaptureWidth(), Twips::toPixels(1050), 10000);

        for (const auto &[action, title] : {std::pair{"History", "历史记录"}, {"Settings", "系统设置"}}) {
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
        QVERIFY(QFileInfo::exists(m_home.filePath("run/notavo.lock")));

        QVERIFY(startRunningProgram());
        const ToolResult plain = startAgain({});
        QVERIFY2(plain.exitCode == 0, plain.output.constData());
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow("历史记录"), 10000);
    }
};

QTEST_GUILESS_MAIN(TestInstalledProgram)
#include "tst_installedprogram.moc"
