#include "Mainfrm.h"
#include "ui_Mainfrm.h"

#include "Aboutfrm.h"
#include "BatchedJobRunner.h"
#include "ChangeFollower.h"
#include "AccessibleNames.h"
#include "Database.h"
#include "DatabaseTexts.h"
#include "EAbort.h"
#include "EPostConflict.h"
#include "Exception.h"
#include "Field.h"
#include "FileLocations.h"
#include "Finddlg.h"
#include "FirstFrame.h"
#include "FirstStartQuestion.h"
#include "FontScale.h"
#include "GuardedCall.h"
#include "Historydlg.h"
#include "IniFile.h"
#include "InitialFocus.h"
#include "JetImport.h"
#include "KeyNames.h"
#include "LibraryUpkeep.h"
#include "Languagesdlg.h"
#include "MenuIconStyle.h"
#include "NoticeBar.h"
#include "PasswordDlg.h"
#include "PostConflictDlg.h"
#include "ShortcutFirstFilter.h"
#include "ServerDataSource.h"
#include "SpeechClipboard.h"
#include "ServerPassword.h"
#include "SpeechRecovery.h"
#include "SpeechTables.h"
#include "StartUpBackup.h"
#include "StoredAction.h"
#include "TApplication.h"
#include "TComboBox.h"
#include "TextEditTarget.h"
#include "WindowPlacement.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <cstdio>

namespace {

const QString WindowSection = QStringLiteral("MainForm");
// Where the window opens when no settings say otherwise.
const QPoint LayoutPosition(192, 153);
// How long after start-up the work in the background (the day's backup) waits.
constexpr int StartUpWorkDelayMs = 500;

} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()), m_backgroundWork(new BatchedJobRunner(this))
{
    m_ui->setupUi(this);
    m_noticeBar = new NoticeBar(m_ui->centralwidget);
    m_ui->centralLayout->addWidget(m_noticeBar);
    move(LayoutPosition);
    m_placement = new WindowPlacement(this);
    m_placement->beforeResize = [this](int windowHeight) {
        setCommentsHeight(m_ui->pnlComments->minimumHeight(), windowHeight);
    };

    tblSpeech.setConnection(&Connection);
    tblSpeech.setCommandText(DatabaseTexts::SpeechListCommand);
    tblSpeech.setLockType(LockType::ReadOnly);
    tblTaal.setConnection(&Connection);
    tblTaal.setCommandText(DatabaseTexts::LanguageListCommand);
    tblSearch.setConnection(&Connection);
    dsSpeech.setDataSet(&tblSpeech);
    tblSpeechID = tblSpeech.fieldByName(QStringLiteral("ID"));
    tblSpeechTaalID = tblSpeech.fieldByName(QStringLiteral("TaalID"));
    tblSpeechKeywords = tblSpeech.fieldByName(QStringLiteral("Keywords"));
    tblSpeechTekst = tblSpeech.fieldByName(QStringLiteral("Tekst"));
    tblSpeechComments = tblSpeech.fieldByName(QStringLiteral("Comments"));
    tblTaalID = tblTaal.fieldByName(QStringLiteral("ID"));
    tblTaalTaal = tblTaal.fieldByName(QStringLiteral("Taal"));
    tblTaalTaal->setDisplayLabel(QStringLiteral("Language"));
    tblSearchID = tblSearch.fieldByName(QStringLiteral("ID"));

    // The menus name the keys of their shortcuts the program's way.
    QCoreApplication::installTranslator(new KeyNames(this));
    m_ui->sbReadOnly->setDefaultAction(m_ui->actSetReadOnly);
    m_ui->Splitter1->setControl(m_ui->pnlComments);
    createActions();
    createStatusPanels();
    sizeBands();
    bindDataControls();
    setDataControlsReadOnly(true); // as laid out, until the settings say otherwise
    connectHandlers();
    nameControlsForScreenReaders(this);
    new InitialFocus(this, m_ui->cbLanguage); // where the user starts: picking a language
    // Nothing is open yet: the record actions wait for the speech list.
    RefreshActionStates();

    ServerPassword::setPrompt(askServerPassword); // a server that wants one asks the user here
    ServerPassword::setNotice([](const QString &message) { TApplication::instance()->showException(Exception(message)); });
    try {
        FormCreate();
    } catch (const std::exception &error) {
        TApplication::instance()->showException(error);
    }
    refreshDatabaseActions();
    offerRecoveredSpeeches();
    // The copy of a large library would compete with the window's first showing: it starts
    // once the window is up.
    QTimer::singleShot(StartUpWorkDelayMs, m_handlers, [this] {
        callGuarded([this] {
            pruneHistory();
            startDailyBackup();
        });
    });
}

TForm1::~TForm1()
{
    // Nothing may reach the handlers while the window's parts are taken down.
    delete m_handlers;
    try {
        FormDestroy();
    } catch (const std::exception &error) {
        TApplication::instance()->showException(error);
    }
}

QList<QAction *> TForm1::actionList() const
{
    return findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly);
}

// Gives every action its tool tip, shortcut and picture from the values stored with it.
void TForm1::createActions()
{
    for (QAction *action : actionList()) {
        if (action->isSeparator() || action->objectName().isEmpty())
            continue;
        applyStoredActionValues(action);
        // Actions on no menu and no tool bar act through their shortcuts alone.
        addAction(action);
    }
    const QList<QAction *> buttons = m_ui->ToolBar1->actions();
    for (int i = 0; i < buttons.size(); ++i) {
        if (QWidget *button = m_ui->ToolBar1->widgetForAction(buttons[i])) {
            button->setObjectName(QStringLiteral("ToolButton%1").arg(i + 1));
            button->setFixedSize(23, 22); // the three bands fit in one row at the layout's width
        }
    }
    // A pixel of room on the right: the tool bar asks for one less than its buttons take.
    for (QToolBar *band : {m_ui->ToolBar1, m_ui->LanguageBand, m_ui->ReadOnlyBand}) {
        band->layout()->setSpacing(0);
        band->layout()->setContentsMargins(0, 1, 1, 1);
    }
    qApp->installEventFilter(new ShortcutFirstFilter(this, actionList()));
    auto *menuStyle = new MenuIconStyle(QString());
    menuStyle->setParent(this);
    for (QMenu *menu : m_ui->MainMenu1->findChildren<QMenu *>())
        menu->setStyle(menuStyle);
}

void TForm1::createStatusPanels()
{
    for (const QString &layoutText : {QStringLiteral("xxxx from xxxxxx"), QStringLiteral("Hint area")}) {
        auto *panel = new QLabel(layoutText, m_ui->StatusBar1);
        panel->setTextFormat(Qt::PlainText); // notices quote servers and speeches
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        m_statusPanels.append(panel);
    }
    // A screen reader reads the panels' texts as their names; the fixed words say what they are.
    m_statusPanels[0]->setAccessibleDescription(QStringLiteral("Search results"));
    m_statusPanels[1]->setAccessibleDescription(QStringLiteral("Hint"));
    // Sized for the font in use; the search panel grows further with a longer count when
    // there is room. No text ever widens the window: the hint panel shows what fits.
    m_statusPanels[0]->setMinimumWidth(FontScale::scaled(95, font()));
    m_statusPanels[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_ui->StatusBar1->addPermanentWidget(m_statusPanels[0]);
    m_ui->StatusBar1->addPermanentWidget(m_statusPanels[1], 1);
    m_ui->StatusBar1->setFixedHeight(FontScale::scaled(19, font()));
}

// The selector and the read-only switch are laid out wide for the font in use, but give way
// so that the three bands and all ten record buttons fit in one row: the selector down to a
// width that still shows a language's name, the switch down to its caption; the switch takes
// whatever is left of the row.
void TForm1::sizeBands()
{
    const double by = FontScale::factor(font()); // measured once: it lays out a line of text
    TComboBox *selector = m_ui->cbLanguage;
    selector->setMinimumSize(FontScale::scaled(90, by), FontScale::scaled(21, by));
    selector->setPreferredWidth(FontScale::scaled(145, by));
    m_ui->sbReadOnly->setMinimumHeight(FontScale::scaled(22, by));
    // The window as laid out is wide enough for the bands at their full width: where the
    // font needs more, it opens wider. A width the user stored is kept as it stands.
    int bandsWidth = 0;
    for (const QToolBar *band : {m_ui->ToolBar1, m_ui->LanguageBand, m_ui->ReadOnlyBand})
        bandsWidth += band->sizeHint().width();
    resize(std::max(width(), bandsWidth), height());
}

void TForm1::bindDataControls()
{
    m_ui->dbeKeywords->setDataField(m_ui->dbeKeywords->property("dataField").toString());
    m_ui->dbeKeywords->setDataSource(&dsSpeech);
    for (TDBMemo *memo : {m_ui->dbmTekst, m_ui->dbmComments}) {
        memo->setDataField(memo->property("dataField").toString());
        memo->setDataSource(&dsSpeech);
    }
}

void TForm1::connectHandlers()
{
    connect(m_ui->cbLanguage, &QComboBox::currentIndexChanged, m_handlers,
            [this] { callGuarded([this] { cbLanguageChange(); }); });
    // Text typed into the selector picks the language of that name; text that names none
    // leaves nothing selected, which the change reports.
    m_ui->cbLanguage->setCompleter(nullptr);
    connect(m_ui->cbLanguage->lineEdit(), &QLineEdit::textEdited, m_handlers, [this](const QString &text) {
        callGuarded([this, &text] { selectTypedLanguage(text); });
    });
    // Told until the window's parts are gone, also while it takes them down.
    connect(&dsSpeech, &DataSource::onStateChange, this, [this] { dsSpeechStateChange(); });
    connect(&Connection, &Connection::onBusy, this, [this] { showBusySign(); });
    connect(&tblSpeech, &RecordSet::afterScroll, this, [this] { tblSpeechAfterScroll(); });
    tblSpeech.beforePost = [this] { tblSpeechBeforePost(); };
    tblSpeech.onPostConflict = [this] { settleRefusedSpeech(); };

    const std::pair<QAction *, void (TForm1::*)()> handlers[] = {
        {m_ui->DataSetFirst, &TForm1::DataSetFirstExecute},     {m_ui->DataSetPrior, &TForm1::DataSetPriorExecute},
        {m_ui->DataSetNext, &TForm1::DataSetNextExecute},       {m_ui->DataSetLast, &TForm1::DataSetLastExecute},
        {m_ui->DataSetInsert, &TForm1::DataSetInsertExecute},   {m_ui->DataSetDelete, &TForm1::DataSetDeleteExecute},
        {m_ui->DataSetEdit, &TForm1::DataSetEditExecute},       {m_ui->DataSetPost, &TForm1::DataSetPostExecute},
        {m_ui->DataSetCancel, &TForm1::DataSetCancelExecute},   {m_ui->DataSetRefresh, &TForm1::DataSetRefreshExecute},
        {m_ui->actLanguages, &TForm1::actLanguagesExecute},     {m_ui->actSetReadOnly, &TForm1::actSetReadOnlyExecute},
        {m_ui->actCopyToClipboard, &TForm1::actCopyToClipboardExecute},
        {m_ui->actFind, &TForm1::actFindExecute},               {m_ui->actFindNext, &TForm1::actFindNextExecute},
        {m_ui->actAbout, &TForm1::actAboutExecute},
        {m_ui->actHistory, &TForm1::actHistoryExecute}, {m_ui->actRestoreDeleted, &TForm1::actRestoreDeletedExecute},
        {m_ui->actOpenLibrary, &TForm1::actOpenLibraryExecute}, {m_ui->actNewLibrary, &TForm1::actNewLibraryExecute},
        {m_ui->actBringIn, &TForm1::actBringInExecute},         {m_ui->actImport, &TForm1::actImportExecute},
        {m_ui->actExport, &TForm1::actExportExecute},
    };
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, m_handlers,
                [this, handler = handler] { callGuarded([this, handler] { (this->*handler)(); }); });

    // The standard edit actions work on the focused text control.
    const std::pair<QAction *, void (TextEditTarget::*)()> editHandlers[] = {
        {m_ui->EditCut1, &TextEditTarget::cut},         {m_ui->EditCopy1, &TextEditTarget::copy},
        {m_ui->EditPaste1, &TextEditTarget::paste},     {m_ui->EditSelectAll1, &TextEditTarget::selectAll},
        {m_ui->EditUndo1, &TextEditTarget::undo},       {m_ui->EditDelete1, &TextEditTarget::deleteSelection},
    };
    for (const auto &[action, handler] : editHandlers) {
        connect(action, &QAction::triggered, m_handlers, [this, handler = handler] {
            callGuarded([this, handler] {
                TextEditTarget target = TextEditTarget::focused(this);
                if (target.isValid())
                    (target.*handler)();
            });
            refreshEditActionStates();
        });
    }
    connect(m_ui->FileExit1, &QAction::triggered, m_handlers, [this] { close(); });
    connect(TApplication::instance(), &TApplication::hintChanged, m_handlers, [this] { ApplicationEvents1Hint(); });

    // The edit actions follow the focus, the selection, the text and the clipboard.
    connect(qApp, &QApplication::focusChanged, m_handlers, [this] { refreshEditActionStates(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, m_handlers, [this] { refreshEditActionStates(); });
    connect(m_ui->Edit1, &QMenu::aboutToShow, m_handlers, [this] { refreshEditActionStates(); });
    connect(m_ui->dbeKeywords, &QLineEdit::selectionChanged, m_handlers, [this] { refreshEditActionStates(); });
    connect(m_ui->dbeKeywords, &QLineEdit::textChanged, m_handlers, [this] { refreshEditActionStates(); });
    for (TDBMemo *memo : {m_ui->dbmTekst, m_ui->dbmComments}) {
        connect(memo, &QPlainTextEdit::selectionChanged, m_handlers, [this] { refreshEditActionStates(); });
        connect(memo, &QPlainTextEdit::textChanged, m_handlers, [this] { refreshEditActionStates(); });
    }
    refreshEditActionStates();
    FirstFrame::whenShown(this, [this] { refreshEditActionStates(); });
}

// Asking the clipboard is a round trip to the display server, and to the program that holds
// the clipboard: a window not yet on the screen does not ask (nobody can paste into it), and
// asks once its first frame is shown, before the user can act.
bool TForm1::clipboardHasText() const
{
    const QWindow *onScreen = windowHandle();
    if (!onScreen || !onScreen->isExposed())
        return false;
    const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
    return clipboard && clipboard->hasText();
}

void TForm1::refreshEditActionStates()
{
    const TextEditTarget target = TextEditTarget::focused(this);
    m_ui->EditCut1->setEnabled(target.isValid() && target.hasSelection());
    m_ui->EditCopy1->setEnabled(target.isValid() && target.hasSelection());
    m_ui->EditPaste1->setEnabled(target.isValid() && clipboardHasText());
    m_ui->EditSelectAll1->setEnabled(target.isValid() && target.hasText());
    m_ui->EditUndo1->setEnabled(target.isValid() && target.canUndo());
    m_ui->EditDelete1->setEnabled(target.isValid() && target.hasSelection());
}

QLabel *TForm1::statusPanel(int index) const
{
    return m_statusPanels.value(index);
}

bool TForm1::event(QEvent *event)
{
    // The status bar's panels show what this program puts there, never Qt's status tips.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

QString TForm1::settingsPath() const
{
    return FileLocations(TApplication::instance()->executableFolder()).settingsPath();
}

// The comments pane takes what a window of the given height has: never so much that the
// window would have to grow.
void TForm1::setCommentsHeight(int height, int windowHeight)
{
    m_ui->pnlComments->setFixedHeight(0);
    const int room = std::max(windowHeight - minimumSizeHint().height(), 0);
    m_ui->pnlComments->setFixedHeight(std::clamp(height, 0, room));
}

// ---- start-up and shutdown

void TForm1::FormCreate()
{
    const FileLocations locations(TApplication::instance()->executableFolder());
    // An installed program's settings folder may not exist yet; a failure here shows up as
    // the refused write at shutdown.
    locations.createFolders();
    const IniFile settings(locations.settingsPath());
    const QString databaseSetting =
        settings.readString(QStringLiteral("Hacks"), QStringLiteral("Database"), FileLocations::DefaultDatabaseName);
    QString databasePath = databaseSetting;
    // Never a file named after it: it may hold a password.
    if (!isServerDataSource(databaseSetting) && looksLikeServerDataSource(databaseSetting))
        throw Exception(unreadableServerDataSource());
    if (isServerDataSource(databaseSetting)) {
        // A library on a server: no file to look for or convert. A speech the server refuses
        // at the end is kept in the settings folder.
        m_databasePath = QFileInfo(locations.settingsPath()).absolutePath() + QStringLiteral("/Server library");
    } else {
        databasePath = locations.databasePath(databaseSetting);
        m_databasePath = databasePath;
        m_libraryFile = true;
        if (!QFileInfo(databasePath).isFile() && !FirstStartQuestion::offer(locations, databasePath))
            throw Exception(QStringLiteral("Speech database not found!"));
        JetImport::offerConversion(databasePath, this);
    }
    Connection.setConnectionString(DatabaseTexts::connectionString(databasePath));
    try {
        requireSpeechTables(Connection, databasePath);
    } catch (...) {
        Connection.close();
        throw;
    }
    m_readOnlyReason = Connection.readOnlyReason();
    // The languages first, with the one the user left selected: the speech list then opens
    // once, on that language and in the mode the window starts in, rather than being read
    // whole, then for the language, then again when the mode is set.
    readLanguageList(CurrentTaalID);
    QComboBox *selector = m_ui->cbLanguage;
    const int storedIndex = settings.readInteger(WindowSection, QStringLiteral("Index"), selector->currentIndex());
    // An index that names no entry (a start without the database stores -1) selects the
    // first language rather than failing at every later start.
    const bool validIndex = storedIndex >= 0 && storedIndex < selector->count();
    {
        const QSignalBlocker blocker(selector);
        selector->setCurrentIndex(validIndex ? storedIndex : std::min(0, selector->count() - 1));
    }
    CurrentTaalID = selector->count() > 0 ? selector->currentData().toLongLong() : 0;
    tblSpeech.setFilter(DatabaseTexts::languageFilter(CurrentTaalID));
    tblSpeech.setFiltered(true);
    m_chosenEditable = settings.readBool(WindowSection, QStringLiteral("RO"), m_ui->actSetReadOnly->isChecked());
    const bool startsEditable = m_chosenEditable && m_readOnlyReason.isEmpty();
    tblSpeech.setLockType(startsEditable ? LockType::Optimistic : LockType::ReadOnly);
    tblSpeech.open();
    selectedLanguageChanged();

    const QRect bounds = m_placement->outerBounds();
    m_placement->setOuterBounds(QRect(settings.readInteger(WindowSection, QStringLiteral("L"), bounds.x()),
                                      settings.readInteger(WindowSection, QStringLiteral("T"), bounds.y()),
                                      settings.readInteger(WindowSection, QStringLiteral("W"), bounds.width()),
                                      settings.readInteger(WindowSection, QStringLiteral("H"), bounds.height())));
    setCommentsHeight(settings.readInteger(WindowSection, QStringLiteral("CH"), m_ui->pnlComments->minimumHeight()),
                      height());

    // A database that cannot be written opens read-only whatever the user chose; the
    // choice is kept for the next start.
    m_ui->actSetReadOnly->setChecked(startsEditable);
    m_ui->actSetReadOnly->trigger();
    m_ui->actSetReadOnly->setEnabled(m_readOnlyReason.isEmpty());

    statusPanel(0)->setText(QString());
    statusPanel(HintPanelIndex)->setText(QString());
    showStatusNotice();
    if (!m_libraryFile)
        m_changeFollower = new ChangeFollower(this);
    if (!m_readOnlyReason.isEmpty())
        m_noticeBar->tell(
            m_libraryFile ? QStringLiteral("The database %1 is open read-only: %2. Speeches can be read, searched and "
                                           "copied, but not changed until the file can be written")
                                .arg(databasePath, m_readOnlyReason)
                          // The reason names the server; the data source may hold a password.
                          : QStringLiteral("The library is open read-only: %1. Speeches can be read, searched and "
                                           "copied, but not changed until the server allows it")
                                .arg(m_readOnlyReason));
}

// Find and Languages work on the open database; without one they cannot act. Import and
// restore follow the read-only mode with the record actions.
void TForm1::refreshDatabaseActions()
{
    m_ui->actFind->setEnabled(Connection.connected());
    m_ui->actLanguages->setEnabled(Connection.connected());
    m_ui->actHistory->setEnabled(Connection.connected());
    m_ui->actExport->setEnabled(Connection.connected());
}

// Text kept from a speech the database refused when the program was ended is named at every
// start until the user has deleted its file.
void TForm1::offerRecoveredSpeeches()
{
    if (m_databasePath.isEmpty())
        return;
    const QStringList files =
        SpeechRecovery::find(m_databasePath, QFileInfo(settingsPath()).absolutePath());
    if (files.isEmpty())
        return;
    TApplication::instance()->showException(
        Exception(QStringLiteral("A speech could not be stored when the program was last ended. Its text is kept in "
                                 "%1. Open the file, put the text back into the speech, then delete the file")
                      .arg(files.join(QStringLiteral(", ")))));
}

// Versions of speeches deleted long ago go: a quick look through an index, once the window is
// up rather than before its first showing.
void TForm1::pruneHistory()
{
    if (!Connection.connected())
        return;
    const IniFile settings(settingsPath());
    SpeechHistory::prune(Connection, {settings.readInteger(QStringLiteral("History"), QStringLiteral("Versions"), 20),
                                      settings.readInteger(QStringLiteral("History"), QStringLiteral("DaysDeleted"), 90)});
}

// A library file that can be written gets its day's backup, off the window's thread; a server
// library is backed up on the server. A failure is said in the status bar, once.
void TForm1::startDailyBackup()
{
    if (!m_libraryFile || !Connection.connected() || !m_readOnlyReason.isEmpty())
        return startBackgroundWork();
    auto *backup = new StartUpBackup(m_databasePath, BackupRotation::read(IniFile(settingsPath())), this);
    // A copy restarts whenever the file changes under it: the work in the background waits.
    connect(backup, &StartUpBackup::finished, m_handlers, [this] { callGuarded([this] { startBackgroundWork(); }); });
    connect(backup, &StartUpBackup::failed, m_handlers, [this](const QString &message) {
        m_backupFailure = QStringLiteral("%1; the earlier backups are kept").arg(message);
        m_noticeBar->tell(m_backupFailure);
        showStatusNotice();
    });
}

// What the library has left to do (the indexes a library made by an earlier build lacks) is
// done off the window's thread, its progress shown in the status bar.
void TForm1::startBackgroundWork()
{
    if (!Connection.connected())
        return;
    // A window switched to another library starts its work again: one answer per signal.
    disconnect(m_backgroundWork, nullptr, m_handlers, nullptr);
    connect(m_backgroundWork, &BatchedJobRunner::progress, m_handlers, [this](const QString &title, int percent) {
        m_backgroundNotice = QStringLiteral("%1: %2% done").arg(title).arg(percent);
        showStatusNotice();
    });
    connect(m_backgroundWork, &BatchedJobRunner::finished, m_handlers,
            [this](const QString &title, bool, const QString &error) {
                m_backgroundNotice = error.isEmpty() ? QString()
                                                     : QStringLiteral("%1 stopped: %2; it goes on at the next start")
                                                           .arg(title, error);
                showStatusNotice();
            });
    m_backgroundWork->start(LibraryUpkeep::backgroundWork(Connection));
}

void TForm1::FormDestroy()
{
    m_backgroundWork->stop();
    const QRect bounds = m_placement->outerBounds();
    const bool editable = m_readOnlyReason.isEmpty() ? !m_ui->actSetReadOnly->isChecked() : m_chosenEditable;
    // One write of the file for all of them: each write is made durable on the disk.
    IniFile(settingsPath())
        .writeStrings(WindowSection, {{QStringLiteral("L"), QString::number(bounds.x())},
                                      {QStringLiteral("T"), QString::number(bounds.y())},
                                      {QStringLiteral("W"), QString::number(bounds.width())},
                                      {QStringLiteral("H"), QString::number(bounds.height())},
                                      {QStringLiteral("CH"), QString::number(m_ui->pnlComments->height())},
                                      {QStringLiteral("Index"), QString::number(m_ui->cbLanguage->currentIndex())},
                                      {QStringLiteral("RO"), editable ? QStringLiteral("1") : QStringLiteral("0")}});
    Connection.close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (TApplication::instance()->terminated()) {
        // Ended from outside, nobody may be there to answer a message: a speech the
        // database refuses is kept in a file of its own, and the window goes.
        keepRefusedSpeech();
        event->accept();
        return;
    }
    // A changed speech still being edited is stored before the window goes; if the
    // database refuses it, or the user goes on editing it, the window stays open with the
    // text still there.
    const bool stored = callGuarded([this] {
        if (tblSpeech.active())
            tblSpeech.checkBrowseMode();
    });
    event->setAccepted(stored);
}

void TForm1::keepRefusedSpeech()
{
    if (!tblSpeech.active())
        return;
    tblSpeech.onPostConflict = nullptr; // nobody may be there to choose: the file keeps the text
    try {
        tblSpeech.checkBrowseMode();
    } catch (const std::exception &error) {
        const auto *own = dynamic_cast<const Exception *>(&error);
        const QString reason = own ? own->message() : QString::fromUtf8(error.what());
        const SpeechRecovery::Speech speech{tblSpeechID->asLargeInt(), m_ui->cbLanguage->currentText(),
                                            m_ui->dbeKeywords->text(), m_ui->dbmTekst->storedText(),
                                            m_ui->dbmComments->storedText()};
        const QString kept =
            SpeechRecovery::keep(m_databasePath, QFileInfo(settingsPath()).absolutePath(), speech, reason);
        // The window is going: the error output is where this can still be said, and the
        // next start names the file again. The speech itself never goes there (nor so into
        // the journal), as others may read it.
        const QString said = kept.isEmpty()
                                 ? QStringLiteral("The Tinlark: the speech being edited could not be stored (%1), "
                                                  "nor kept in a file beside the database or in the settings folder\n")
                                       .arg(reason)
                                 : QStringLiteral("The Tinlark: the speech being edited could not be "
                                                  "stored (%1). Its text is kept in %2\n")
                                       .arg(reason, kept);
        std::fputs(said.toLocal8Bit().constData(), stderr);
    }
}

// ---- languages

void TForm1::FillLanguageList()
{
    readLanguageList(CurrentTaalID);
    selectedLanguageChanged();
}

// Lists the languages in the selector, the one with selectedTaalId selected where it is still
// there, else the first.
void TForm1::readLanguageList(qint64 selectedTaalId)
{
    QComboBox *selector = m_ui->cbLanguage;
    selector->setUpdatesEnabled(false);
    const auto endUpdate = qScopeGuard([selector] { selector->setUpdatesEnabled(true); });
    tblTaal.close();
    {
        const QSignalBlocker blocker(selector);
        selector->clear();
    }
    tblTaal.open();
    const auto closeLanguages = qScopeGuard([this] { tblTaal.close(); });
    {
        const QSignalBlocker blocker(selector);
        tblTaal.first();
        while (!tblTaal.eof()) {
            selector->addItem(tblTaalTaal->asString(), tblTaalID->asLargeInt());
            tblTaal.next();
        }
        const int previous = selector->findData(selectedTaalId);
        selector->setCurrentIndex(previous >= 0 ? previous : std::min(0, selector->count() - 1));
    }
}

void TForm1::selectedLanguageChanged()
{
    if (m_ui->cbLanguage->count() > 0) {
        cbLanguageChange();
    } else {
        // An empty language list is no error: no language is current and the speech list
        // shows nothing.
        CurrentTaalID = 0;
        tblSpeech.setFilter(DatabaseTexts::languageFilter(CurrentTaalID));
        tblSpeech.setFiltered(true);
    }
}

// Text typed into the selector picks the language of that name; text that names none
// leaves nothing selected, which the change reports.
void TForm1::selectTypedLanguage(const QString &text)
{
    QComboBox *selector = m_ui->cbLanguage;
    // The text cursor stays where the user is typing, whatever the selector does with the text.
    const auto keepCursor = qScopeGuard([selector, cursor = selector->lineEdit()->cursorPosition()] {
        selector->lineEdit()->setCursorPosition(cursor);
    });
    const int match = selector->findText(text, Qt::MatchFixedString);
    if (match >= 0 && match != selector->currentIndex()) {
        selector->setCurrentIndex(match); // the index change runs the change handler
        return;
    }
    if (match < 0) {
        const QSignalBlocker blocker(selector);
        selector->setCurrentIndex(-1);
        selector->setEditText(text);
    }
    cbLanguageChange();
}

void TForm1::cbLanguageChange()
{
    const int index = m_ui->cbLanguage->currentIndex();
    if (index < 0 || index >= m_ui->cbLanguage->count())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    const qint64 editedTaalId = CurrentTaalID;
    CurrentTaalID = m_ui->cbLanguage->itemData(index).toLongLong();
    // A changed speech is stored under the language picked, before the list shows that
    // language. If it is not stored (refused, or the user goes on editing it), the selector
    // goes back to the language being edited.
    try {
        tblSpeech.checkBrowseMode();
    } catch (...) {
        CurrentTaalID = editedTaalId;
        const QSignalBlocker blocker(m_ui->cbLanguage);
        m_ui->cbLanguage->setCurrentIndex(m_ui->cbLanguage->findData(editedTaalId));
        throw;
    }
    tblSpeech.setFilter(DatabaseTexts::languageFilter(CurrentTaalID));
    tblSpeech.setFiltered(true);
    RunKeywordSearch();
}

// The versions of the current speech, or the deleted speeches of the current language; the
// speech brought back becomes the current one.
static void showHistory(TForm1 *window, THistoryDialog::Kind kind)
{
    window->tblSpeech.checkBrowseMode();
    THistoryDialog dialog(window, kind, window->Connection, window->tblSpeech, window->currentTaalId());
    dialog.exec();
    if (const std::optional<qint64> restored = dialog.restoredSpeech()) {
        window->DataSetRefreshExecute();
        window->tblSpeech.locate(DatabaseTexts::LocateKey, *restored);
    }
}

void TForm1::actHistoryExecute()
{
    showHistory(this, THistoryDialog::Kind::Versions);
}

void TForm1::actRestoreDeletedExecute()
{
    showHistory(this, THistoryDialog::Kind::Deleted);
}

void TForm1::actLanguagesExecute()
{
    // In read-only mode the languages are shown, not changed.
    tblTaal.setLockType(tblSpeech.lockType() == LockType::ReadOnly ? LockType::ReadOnly : LockType::Optimistic);
    tblTaal.open();
    const auto closeLanguages = qScopeGuard([this] { tblTaal.close(); });
    ShowLanguagesDialog(this, tblTaal);
    FillLanguageList();
}

// ---- record navigation and editing

void TForm1::dsSpeechStateChange()
{
    RefreshActionStates();
    if (m_changeFollower)
        m_changeFollower->speechStateChanged();
}

void TForm1::tblSpeechAfterScroll()
{
    RefreshActionStates();
}

void TForm1::tblSpeechBeforePost()
{
    if (!languageIsCurrent())
        throw Exception(QStringLiteral("No language is selected, so the speech cannot be filed: add a language under "
                                       "Extra > Languages, then store the speech again"));
    tblSpeechTaalID->setAsLargeInt(CurrentTaalID);
}

void TForm1::RefreshActionStates()
{
    const DataSetState state = dsSpeech.state();
    const bool editing = state == DataSetState::Edit || state == DataSetState::Insert || state == DataSetState::SetKey;
    const bool readOnly = tblSpeech.lockType() == LockType::ReadOnly;
    const bool atBegin = tblSpeech.bof();
    const bool atEnd = tblSpeech.eof();
    const bool open = tblSpeech.active(); // closed (no database, a failed reopen): nothing can act
    m_ui->DataSetFirst->setEnabled(!atBegin && !editing);
    m_ui->DataSetPrior->setEnabled(!atBegin && !editing);
    m_ui->DataSetNext->setEnabled(!atEnd && !editing);
    m_ui->DataSetLast->setEnabled(!atEnd && !editing);
    // A new speech is filed under the selected language: without one there is nothing to insert.
    m_ui->DataSetInsert->setEnabled(open && !readOnly && !editing && languageIsCurrent());
    m_ui->DataSetDelete->setEnabled(open && !readOnly && !editing);
    m_ui->DataSetEdit->setEnabled(open && !readOnly && !editing);
    m_ui->DataSetPost->setEnabled(editing);
    m_ui->DataSetCancel->setEnabled(editing);
    m_ui->DataSetRefresh->setEnabled(open && !readOnly && !editing);
    // What else stores into the open library waits for the same, and its hint says why.
    const QString why = m_readOnlyReason.isEmpty() ? QStringLiteral("while Read-Only is on")
                                                   : QStringLiteral("while the library is read-only (%1)").arg(m_readOnlyReason);
    const bool refused = open && readOnly;
    for (QAction *storing : {m_ui->actImport, m_ui->actRestoreDeleted}) {
        storing->setEnabled(open && !readOnly);
        setStoredActionNote(storing, refused ? QStringLiteral("Not %1").arg(why) : QString());
    }
    setStoredActionNote(m_ui->actLanguages, refused ? QStringLiteral("They cannot be changed %1").arg(why) : QString());
    showStatusNotice();
}

bool TForm1::languageIsCurrent() const
{
    return m_ui->cbLanguage->findData(CurrentTaalID) >= 0;
}

// A lasting state the user must know of, shown in the hint panel whenever no hint is.
QString TForm1::statusNotice() const
{
    if (!m_readOnlyReason.isEmpty())
        return QStringLiteral("Read-only: %1").arg(m_readOnlyReason);
    if (!m_backupFailure.isEmpty())
        return m_backupFailure;
    if (!m_backgroundNotice.isEmpty())
        return m_backgroundNotice;
    if (tblSpeech.active() && !languageIsCurrent())
        return QStringLiteral("No language: add one under Extra > Languages to add speeches");
    return m_outsideNotice;
}

void TForm1::setOutsideNotice(const QString &notice)
{
    m_outsideNotice = notice;
    m_noticeBar->tell(notice);
    showStatusNotice();
}

void TForm1::showStatusNotice()
{
    QLabel *panel = statusPanel(HintPanelIndex);
    const QString notice = statusNotice();
    if (TApplication::instance()->hint().isEmpty() && (!notice.isEmpty() || panel->text() == m_statusNotice))
        panel->setText(notice);
    m_statusNotice = notice;
}

// The window waits for another program that holds the database: it says so at once, and
// the wait cursor goes when the events flow again.
void TForm1::showBusySign()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QLabel *panel = statusPanel(HintPanelIndex);
    panel->setText(QStringLiteral("Waiting for another program that holds the database..."));
    panel->repaint();
    QTimer::singleShot(0, qApp, [window = QPointer<TForm1>(this)] {
        QApplication::restoreOverrideCursor();
        if (window)
            window->ApplicationEvents1Hint();
    });
}

void TForm1::DataSetFirstExecute() { tblSpeech.first(); }
void TForm1::DataSetPriorExecute() { tblSpeech.prior(); }
void TForm1::DataSetNextExecute() { tblSpeech.next(); }
void TForm1::DataSetLastExecute() { tblSpeech.last(); }
void TForm1::DataSetInsertExecute() { tblSpeech.insert(); }
void TForm1::DataSetDeleteExecute() { tblSpeech.deleteRecord(); }
void TForm1::DataSetEditExecute() { tblSpeech.edit(); }
void TForm1::DataSetPostExecute()
{
    try {
        tblSpeech.post();
    } catch (const EPostConflict &) {
        const TPostConflictDialog::Choice choice = settleConflictOfSpeech();
        // The speech stored as new takes its place in the list; a dropped one shows as it is
        // stored now, or, deleted, gives way to the one after it.
        if (choice == TPostConflictDialog::StoreAsNew || choice == TPostConflictDialog::Drop)
            DataSetRefreshExecute();
    }
}

// What was merged with another user's change stays in the notice bar until read.
TPostConflictDialog::Choice TForm1::settleConflictOfSpeech()
{
    return settlePostConflict(this, tblSpeech, [this](const QString &merged) { setOutsideNotice(merged); });
}

// A speech someone else changed or deleted meanwhile is not lost on any way out of editing
// it (closing, a move, another language, the read-only switch): the user sees both versions
// and chooses what to keep. Going on editing stops the action that was leaving the speech.
void TForm1::settleRefusedSpeech()
{
    if (settleConflictOfSpeech() == TPostConflictDialog::KeepEditing)
        throw EAbort();
}
void TForm1::DataSetCancelExecute() { tblSpeech.cancel(); }
// Besides the speeches, the refresh reads the languages again, so that one another user added,
// renamed or deleted shows in the selector; the selected language stays as it is unless it
// is gone.
void TForm1::DataSetRefreshExecute()
{
    tblSpeech.refresh();
    readLanguageList(CurrentTaalID);
    if (m_ui->cbLanguage->currentData().toLongLong() != CurrentTaalID)
        selectedLanguageChanged();
}

// ---- read-only mode

void TForm1::setDataControlsReadOnly(bool readOnly)
{
    for (QWidget *control : {static_cast<QWidget *>(m_ui->dbeKeywords), static_cast<QWidget *>(m_ui->dbmTekst),
                             static_cast<QWidget *>(m_ui->dbmComments)}) {
        control->setProperty("readOnly", readOnly);
        // Read-only fields take the colour of the panel behind them, editable ones the
        // window colour.
        QPalette palette = control->palette();
        palette.setColor(QPalette::Base, readOnly ? control->parentWidget()->palette().color(QPalette::Window)
                                                  : QApplication::palette().color(QPalette::Base));
        control->setPalette(palette);
    }
}

void TForm1::actSetReadOnlyExecute()
{
    const bool readOnly = m_ui->actSetReadOnly->isChecked();
    // What the user typed is not lost: a changed speech is stored first (an unchanged new
    // one is dropped). If the database refuses it, the mode stays as it was.
    if (tblSpeech.active()) {
        try {
            tblSpeech.checkBrowseMode();
        } catch (...) {
            m_ui->actSetReadOnly->setChecked(!readOnly);
            throw;
        }
    }
    const qint64 rememberedId = tblSpeechID->asLargeInt();
    QFont font = m_ui->sbReadOnly->font(); // other styles the button's font may have stay
    font.setBold(readOnly);
    m_ui->sbReadOnly->setFont(font);
    setDataControlsReadOnly(readOnly);
    const LockType lockType = readOnly ? LockType::ReadOnly : LockType::Optimistic;
    if (tblSpeech.active() && tblSpeech.lockType() == lockType)
        return; // opened in this mode already, as at start
    tblSpeech.close();
    tblSpeech.setLockType(lockType);
    tblSpeech.open();
    tblSpeech.locate(DatabaseTexts::LocateKey, rememberedId);
}

// ---- keyword search

void TForm1::actFindExecute()
{
    if (ShowFindDialog(this, SearchText))
        RunKeywordSearch();
}

void TForm1::actAboutExecute()
{
    ShowAboutWindow(this);
}

void TForm1::RunKeywordSearch()
{
    if (SearchText.isEmpty())
        return;
    tblSearch.close();
    tblSearch.setCommandText(DatabaseTexts::keywordSearch(SearchText, CurrentTaalID));
    tblSearch.open();
    if (tblSearch.isEmpty())
        throw Exception(QStringLiteral("No matches found"));
    SearchCount = tblSearch.recordCount();
    statusPanel(0)->setText(QStringLiteral("Search results: %1").arg(SearchCount));
    tblSpeech.locate(DatabaseTexts::LocateKey, tblSearchID->asLargeInt());
}

void TForm1::actFindNextExecute()
{
    tblSpeech.checkBrowseMode(); // a speech left being edited stays the search's place
    tblSearch.next();
    if (tblSearch.eof())
        tblSearch.first();
    tblSpeech.locate(DatabaseTexts::LocateKey, tblSearchID->asLargeInt());
}

// ---- clipboard and hints

void TForm1::actCopyToClipboardExecute()
{
    // The stored value, not the memo's: typed text reaches the field when the memo hands it over.
    copySpeechToClipboard(Connection, tblSpeechID->asLargeInt(), tblSpeechTekst->asString());
}

void TForm1::ApplicationEvents1Hint()
{
    const QString &hint = TApplication::instance()->hint();
    statusPanel(HintPanelIndex)->setText(hint.isEmpty() ? m_statusNotice : hint);
}
