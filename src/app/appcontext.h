#pragma once

#include "common/programfolder.h"
#include "platform/autorunentry.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "settings/settings.h"
#include "settings/settingsstore.h"
#include "store/recordstore.h"

#include <memory>

// The program's services and its settings, owned once by the application and handed to the
// windows that need them. Tests build their own with a temporary program folder and doubles.
struct AppContext
{
    AppContext(ProgramFolder folder, std::unique_ptr<Clock> clockImpl, std::unique_ptr<ShellOpener> shellImpl,
               std::unique_ptr<Dialogs> dialogsImpl, std::unique_ptr<AutoRunEntry> autoRunImpl)
        : programFolder(std::move(folder))
        , clock(std::move(clockImpl))
        , shell(std::move(shellImpl))
        , dialogs(std::move(dialogsImpl))
        , autoRun(std::move(autoRunImpl))
        , store(programFolder.filePath(QStringLiteral("filelist.db")))
        , settingsStore(programFolder.filePath(QStringLiteral("filePath.ini")), *autoRun)
    {
    }
    Q_DISABLE_COPY_MOVE(AppContext)

    ProgramFolder programFolder;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<ShellOpener> shell;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<AutoRunEntry> autoRun;
    RecordStore store;
    SettingsStore settingsStore;

    // The user's settings, read once at start; the settings dialog changes them and the file.
    Settings settings;
};
