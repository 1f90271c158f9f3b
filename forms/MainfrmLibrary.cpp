// The main window's File menu: the library it shows opened, made or brought in, and its
// speeches exported and imported.
#include "Mainfrm.h"
#include "ui_Mainfrm.h"

#include "DatabaseTexts.h"
#include "Field.h"
#include "FileLocations.h"
#include "IniFile.h"
#include "LibraryChoice.h"
#include "LibraryTransfer.h"
#include "NoticeBar.h"
#include "SpeechTables.h"
#include "TApplication.h"

#include <QScopeGuard>

void TForm1::actOpenLibraryExecute()
{
    switchLibrary(LibraryChoice::open(this));
}

// A new library is there to be filled: it opens editable, whatever the mode of the one before,
// and the user makes its first language at once.
void TForm1::actNewLibraryExecute()
{
    const QString made = LibraryChoice::createNew(this);
    if (made.isEmpty())
        return;
    switchLibrary(made);
    if (!m_readOnlyReason.isEmpty())
        return;
    if (m_ui->actSetReadOnly->isChecked())
        m_ui->actSetReadOnly->trigger();
    if (m_ui->cbLanguage->count() == 0)
        actLanguagesExecute();
}

void TForm1::actBringInExecute()
{
    switchLibrary(LibraryChoice::bringIn(this));
}

void TForm1::actExportExecute()
{
    tblSpeech.checkBrowseMode();
    LibraryTransfer::exportSpeeches(this, *Connection.handle(),
                                    languageIsCurrent() ? m_ui->cbLanguage->currentText() : QString());
}

void TForm1::actImportExecute()
{
    // A speech being edited is stored first: the import may hold the same text.
    tblSpeech.checkBrowseMode();
    if (!LibraryTransfer::importSpeeches(this, *Connection.handle(), m_libraryFile ? m_databasePath : QString(),
                                         settingsPath()))
        return;
    // New languages appear in the selector; the language and speech shown stay.
    const qint64 shownId = tblSpeechID->asLargeInt();
    DataSetRefreshExecute();
    tblSpeech.locate(DatabaseTexts::LocateKey, shownId);
}

// Lets go of the library shown, as at the window's close (a speech being edited is stored
// first; if that is refused, the window stays on its library), records the other one in the
// settings and opens it as at start-up. A library that does not open leaves the window as it was.
void TForm1::switchLibrary(const QString &dataSource)
{
    if (dataSource.isEmpty())
        return;
    if (tblSpeech.active())
        tblSpeech.checkBrowseMode();
    {
        ::Connection probe;
        probe.setConnectionString(DatabaseTexts::connectionString(dataSource));
        requireSpeechTables(probe, dataSource);
    }
    FormDestroy();
    IniFile settings(settingsPath());
    settings.writeString(QStringLiteral("Hacks"), QStringLiteral("Database"),
                         LibraryChoice::settingFor(dataSource, FileLocations(TApplication::instance()->executableFolder())));
    settings.writeInteger(QStringLiteral("MainForm"), QStringLiteral("Index"), -1); // another library's languages
    m_libraryFile = false;
    m_databasePath.clear();
    m_readOnlyReason.clear();
    m_backupFailure.clear();
    m_noticeBar->hide(); // what was said of the library left behind
    SearchText.clear();
    SearchCount = 0;
    const auto refresh = qScopeGuard([this] {
        refreshDatabaseActions();
        RefreshActionStates();
    });
    FormCreate();
    pruneHistory();
    startDailyBackup();
}
