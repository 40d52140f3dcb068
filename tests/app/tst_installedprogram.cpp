// The installed program as a user meets it: installed under a prefix (DESTDIR), its folders
// read-only, started under its own X display. Skips where Xvfb, openbox or xdotool is missing.
#include "common/gbkcodec.h"
#include "platform/desktopsession.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
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
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput() + process.readAllStandardError()};
}

// Every file and folder below `root` with its size and modification time.
QStringList snapshot(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
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

private:
    QString installed(const QString &relative) const { return m_root.filePath(QStringLiteral("usr/") + relative); }
    QString dataFolder() const { return m_home.filePath(QStringLiteral("data/Notavo")); }

    QProcessEnvironment programEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_session.display()));
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("run")));
        environment.insert(QStringLiteral("NOTAVO_START_IN_PEN_MODE"), QStringLiteral("1"));
        return environment;
    }

    // Starts the installed program; it is running once it answers on its socket.
    bool startRunningProgram()
    {
        m_running = std::make_unique<QProcess>();
        m_running->setProcessEnvironment(programEnvironment());
        m_running->setProcessChannelMode(QProcess::ForwardedChannels);
        m_running->start(installed(QStringLiteral("bin/notavo")), {});
        m_running->waitForStarted();
        const QString socket = m_home.filePath(QStringLiteral("run/notavo.socket"));
        for (int wait = 0; wait < 150 && m_running->state() == QProcess::Running; ++wait) {
            if (QFileInfo::exists(socket))
                return true;
            QTest::qWait(100);
        }
        return false;
    }

    // Starts the program a second time and waits for it to end.
    ToolResult startAgain(const QStringList &arguments)
    {
        return runTool(installed(QStringLiteral("bin/notavo")), arguments, programEnvironment());
    }

    QString visibleWindow(const QString &name, qint64 pid)
    {
        const ToolResult found = runTool(QStringLiteral("xdotool"),
                                         {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                          QString::number(pid), QStringLiteral("--name"), name});
        return QString::fromLatin1(found.output).split(u'\n', Qt::SkipEmptyParts).value(0);
    }

    QTemporaryDir m_root;
    QTemporaryDir m_home;
    DesktopSession m_session;
    std::unique_ptr<QProcess> m_running;
    QStringList m_installedTree;

private slots:
    void initTestCase()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), m_root.path());
        const ToolResult install = runTool(QStringLiteral(NOTAVO_CMAKE_COMMAND),
                                           {QStringLiteral("--install"), QStringLiteral(NOTAVO_BUILD_DIR),
                                            QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                           environment);
        QVERIFY2(install.exitCode == 0, install.output.constData());
        // As a system-wide install is: nobody may write there, root only by ignoring the mode bits.
        QCOMPARE(runTool(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a-w"), installed({})}).exitCode, 0);
        m_installedTree = snapshot(m_root.path());
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("run"))));
        QFile::setPermissions(m_home.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void cleanupTestCase()
    {
        if (m_running) {
            m_running->kill();
            m_running->waitForFinished();
        }
        runTool(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), m_root.path()});
    }

    void installTreeHoldsWhatTheDesktopLooksFor()
    {
        const QStringList expected{
            QStringLiteral("bin/notavo"),
            QStringLiteral("share/notavo/readme.txt"),
            QStringLiteral("share/applications/io.github.notavo.Notavo.desktop"),
            QStringLiteral("share/metainfo/io.github.notavo.Notavo.metainfo.xml"),
            QStringLiteral("share/icons/hicolor/scalable/apps/io.github.notavo.Notavo.svg"),
            QStringLiteral("share/icons/hicolor/48x48/apps/io.github.notavo.Notavo.png"),
            QStringLiteral("share/icons/hicolor/256x256/apps/io.github.notavo.Notavo.png"),
            QStringLiteral("share/man/man1/notavo.1"),
        };
        for (const QString &file : expected)
            QVERIFY2(QFileInfo(installed(file)).isFile(), qPrintable(file));
        QVERIFY(QFileInfo(installed(QStringLiteral("bin/notavo"))).isExecutable());
        QCOMPARE(QDir(installed(QStringLiteral("bin"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("notavo")});
    }

    void helpAndVersionNeedNoDisplay()
    {
        QProcessEnvironment environment = programEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        const ToolResult version = runTool(installed(QStringLiteral("bin/notavo")), {QStringLiteral("--version")}, environment);
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.output.contains(NOTAVO_VERSION), version.output.constData());
        const ToolResult help = runTool(installed(QStringLiteral("bin/notavo")), {QStringLiteral("--help")}, environment);
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.output.contains("--version") && QString::fromUtf8(help.output).contains(QStringLiteral("文件")),
                 help.output.constData());
        QVERIFY(!QFileInfo::exists(dataFolder()));
    }

    void installedProgramKeepsItsDataPerUser()
    {
        if (!m_session.startDisplay() || !m_session.startWindowManager())
            QSKIP(qPrintable(m_session.error()));
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
            QSKIP("xdotool or xclip is not installed");
        qputenv("DISPLAY", m_session.display());
        // A stored save folder, relative to the program folder.
        QVERIFY(QDir().mkpath(dataFolder() + QStringLiteral("/myText")));
        QFile settings(dataFolder() + QStringLiteral("/filePath.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[MyFileApp]\nsaveFilePATH=myText\neditFilePATH=Notavo\n");
        settings.close();

        QVERIFY(startRunningProgram());
        QTest::qWait(2500); // the splash closes after two seconds
        QProcess *clipboard = m_session.startProgram(QStringLiteral("xclip"),
                                                     {QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard")},
                                                     {QStringLiteral("DISPLAY=") + QString::fromLatin1(m_session.display())});
        QVERIFY(clipboard);
        clipboard->write("安装后的记录\n第二行");
        clipboard->closeWriteChannel();

        // The pen box grows to full size with the text; its first category button is 小说.
        QString capture;
        QTRY_VERIFY_WITH_TIMEOUT(!(capture = visibleWindow(QStringLiteral("^Notavo$"), m_running->processId())).isEmpty(), 10000);
        QTest::qWait(500);
        QCOMPARE(runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), capture,
                                                      QStringLiteral("24"), QStringLiteral("281"), QStringLiteral("click"),
                                                      QStringLiteral("1")}).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(dataFolder() + QStringLiteral("/myText")).entryList({QStringLiteral("*.txt")}).isEmpty(), 10000);
        QVERIFY(QFileInfo(dataFolder() + QStringLiteral("/filelist.db")).size() > 0);
        QCOMPARE(snapshot(m_root.path()), m_installedTree);
    }

    void secondStartHandsOverAndTouchesNothing()
    {
        if (!m_running || m_running->state() != QProcess::Running)
            QSKIP("the installed program does not run");
        const QString document = m_home.filePath(QStringLiteral("交来的文件.txt"));
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Gbk::encode(u"命令行打开的文件"));
        file.close();
        const QStringList before = snapshot(m_home.path());

        // A file named on the command line opens in the running program's editor.
        const ToolResult withFile = startAgain({document});
        QVERIFY2(withFile.exitCode == 0, withFile.output.constData());
        QString editor;
        QTRY_VERIFY_WITH_TIMEOUT(!(editor = visibleWindow(QStringLiteral("交来的文件"), m_running->processId())).isEmpty(), 10000);
        // The editor's help key opens the installed help document.
        runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), editor});
        runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("F1")});
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(QStringLiteral("帮助主题"), m_running->processId()).isEmpty(), 10000);

        // A plain second start brings the history browser forward.
        const ToolResult plain = startAgain({});
        QVERIFY2(plain.exitCode == 0, plain.output.constData());
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(QStringLiteral("历史记录"), m_running->processId()).isEmpty(), 10000);

        QCOMPARE(snapshot(m_home.path()), before);
        QCOMPARE(snapshot(m_root.path()), m_installedTree);
        QCOMPARE(m_running->state(), QProcess::Running);
    }

    void staleLockDoesNotBlockTheNextStart()
    {
        if (!m_running || m_running->state() != QProcess::Running)
            QSKIP("the installed program does not run");
        m_running->kill();
        m_running->waitForFinished();
        QVERIFY(QFileInfo::exists(m_home.filePath(QStringLiteral("run/notavo.lock"))));

        QVERIFY(startRunningProgram());
        QTest::qWait(1000);
        QCOMPARE(m_running->state(), QProcess::Running);
        const ToolResult plain = startAgain({});
        QVERIFY2(plain.exitCode == 0, plain.output.constData());
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(QStringLiteral("历史记录"), m_running->processId()).isEmpty(), 10000);
    }
};

QTEST_GUILESS_MAIN(TestInstalledProgram)
#include "tst_installedprogram.moc"
