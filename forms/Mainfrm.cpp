#include "Mainfrm.h"
#include "ui_Mainfrm.h"

#include "DatabaseTexts.h"
#include "Exception.h"
#include "Field.h"
#include "IniFile.h"
#include "TApplication.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QScopeGuard>

namespace {

const QString SettingsFileName = QStringLiteral("Tinlark.ini");
const QString WindowSection = QStringLiteral("MainForm");
// Where the window opens when no settings say otherwise.
const QPoint LayoutPosition(192, 153);

} // namespace

TForm1::TForm1(QWidget *parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>())
{
    m_ui->setupUi(this);
    move(LayoutPosition);

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

    m_ui->LanguageBand->addWidget(m_ui->cbLanguage);
    m_ui->ReadOnlyBand->addWidget(m_ui->sbReadOnly);
    m_ui->sbReadOnly->setDefaultAction(m_ui->actSetReadOnly);
    m_ui->Splitter1->setControl(m_ui->pnlComments);
    for (const QString &layoutText : {QStringLiteral("xxxx from xxxxxx"), QStringLiteral("Hint area")}) {
        auto *panel = new QLabel(layoutText, m_ui->StatusBar1);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        m_statusPanels.append(panel);
    }
    m_statusPanels[0]->setFixedWidth(95);
    m_ui->StatusBar1->addPermanentWidget(m_statusPanels[0]);
    m_ui->StatusBar1->addPermanentWidget(m_statusPanels[1], 1);

    for (auto *control : {static_cast<QWidget *>(m_ui->dbeKeywords), static_cast<QWidget *>(m_ui->dbmTekst),
                          static_cast<QWidget *>(m_ui->dbmComments)}) {
        const QString fieldName = control->property("dataField").toString();
        if (auto *edit = qobject_cast<TDBEdit *>(control)) {
            edit->setDataField(fieldName);
            edit->setDataSource(&dsSpeech);
        } else if (auto *memo = qobject_cast<TDBMemo *>(control)) {
            memo->setDataField(fieldName);
            memo->setDataSource(&dsSpeech);
        }
    }

    connect(m_ui->cbLanguage, &QComboBox::currentIndexChanged, this, [this] { cbLanguageChange(); });
    connect(m_ui->actSetReadOnly, &QAction::triggered, this, [this] { actSetReadOnlyExecute(); });

    try {
        FormCreate();
    } catch (const std::exception &error) {
        TApplication::instance()->showException(error);
    }
}

TForm1::~TForm1()
{
    try {
        FormDestroy();
    } catch (const std::exception &error) {
        TApplication::instance()->showException(error);
    }
}

QLabel *TForm1::statusPanel(int index) const
{
    return m_statusPanels.value(index);
}

QString TForm1::settingsPath() const
{
    return TApplication::instance()->executableFolder() + SettingsFileName;
}

void TForm1::setCommentsHeight(int height)
{
    m_ui->pnlComments->setFixedHeight(std::max(height, 0));
}

void TForm1::FormCreate()
{
    const IniFile settings(settingsPath());
    const QString databasePath = TApplication::instance()->executableFolder()
                                 + settings.readString(QStringLiteral("Hacks"), QStringLiteral("Database"),
                                                       QStringLiteral("Speeches.csp"));
    if (!QFileInfo(databasePath).isFile())
        throw Exception(QStringLiteral("Speech database not found!"));
    Connection.setConnectionString(DatabaseTexts::connectionString(databasePath));
    tblSpeech.open();
    FillLanguageList();

    move(settings.readInteger(WindowSection, QStringLiteral("L"), x()),
         settings.readInteger(WindowSection, QStringLiteral("T"), y()));
    resize(settings.readInteger(WindowSection, QStringLiteral("W"), width()),
           settings.readInteger(WindowSection, QStringLiteral("H"), height()));
    setCommentsHeight(settings.readInteger(WindowSection, QStringLiteral("CH"), m_ui->pnlComments->height()));

    const int storedIndex = settings.readInteger(WindowSection, QStringLiteral("Index"), m_ui->cbLanguage->currentIndex());
    // An index that names no entry (a start without the database stores -1) selects the
    // first language rather than failing at every later start.
    const bool validIndex = storedIndex >= 0 && storedIndex < m_ui->cbLanguage->count();
    {
        const QSignalBlocker blocker(m_ui->cbLanguage);
        m_ui->cbLanguage->setCurrentIndex(validIndex ? storedIndex : std::min(0, m_ui->cbLanguage->count() - 1));
    }
    if (m_ui->cbLanguage->count() > 0)
        cbLanguageChange();

    m_ui->actSetReadOnly->setChecked(
        settings.readBool(WindowSection, QStringLiteral("RO"), m_ui->actSetReadOnly->isChecked()));
    m_ui->actSetReadOnly->trigger();

    statusPanel(0)->setText(QString());
    statusPanel(HintPanelIndex)->setText(QString());
}

void TForm1::FormDestroy()
{
    IniFile settings(settingsPath());
    settings.writeInteger(WindowSection, QStringLiteral("L"), x());
    settings.writeInteger(WindowSection, QStringLiteral("T"), y());
    settings.writeInteger(WindowSection, QStringLiteral("W"), width());
    settings.writeInteger(WindowSection, QStringLiteral("H"), height());
    settings.writeInteger(WindowSection, QStringLiteral("CH"), m_ui->pnlComments->height());
    settings.writeInteger(WindowSection, QStringLiteral("Index"), m_ui->cbLanguage->currentIndex());
    settings.writeBool(WindowSection, QStringLiteral("RO"), !m_ui->actSetReadOnly->isChecked());
    Connection.close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A changed speech still being edited is stored before the window goes; if the
    // database refuses it, the window stays open with the text still there.
    if (tblSpeech.active())
        tblSpeech.checkBrowseMode();
    event->accept();
}

void TForm1::FillLanguageList()
{
    const int previousTaalId = CurrentTaalID;
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
            selector->addItem(tblTaalTaal->asString(), tblTaalID->asInteger());
            tblTaal.next();
        }
        const int previous = selector->findData(previousTaalId);
        selector->setCurrentIndex(previous >= 0 ? previous : std::min(0, selector->count() - 1));
    }
    if (selector->count() > 0) {
        cbLanguageChange();
    } else {
        // An empty language list is no error: no language is current and the speech list
        // shows nothing.
        CurrentTaalID = 0;
        tblSpeech.setFilter(DatabaseTexts::languageFilter(CurrentTaalID));
        tblSpeech.setFiltered(true);
    }
}

void TForm1::cbLanguageChange()
{
    const int index = m_ui->cbLanguage->currentIndex();
    if (index < 0 || index >= m_ui->cbLanguage->count())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    CurrentTaalID = m_ui->cbLanguage->itemData(index).toInt();
    tblSpeech.setFilter(DatabaseTexts::languageFilter(CurrentTaalID));
    tblSpeech.setFiltered(true);
}

void TForm1::actSetReadOnlyExecute()
{
    const qint64 rememberedId = tblSpeechID->asInteger();
    const bool readOnly = m_ui->actSetReadOnly->isChecked();
    // Keep the other styles the user may have given the button's font.
    QFont font = m_ui->sbReadOnly->font();
    font.setBold(readOnly);
    m_ui->sbReadOnly->setFont(font);
    for (QWidget *control : {static_cast<QWidget *>(m_ui->dbeKeywords), static_cast<QWidget *>(m_ui->dbmTekst),
                             static_cast<QWidget *>(m_ui->dbmComments)}) {
        control->setProperty("readOnly", readOnly);
    }
    tblSpeech.close();
    tblSpeech.setLockType(readOnly ? LockType::ReadOnly : LockType::Optimistic);
    tblSpeech.open();
    tblSpeech.locate(DatabaseTexts::LocateKey, rememberedId);
}
