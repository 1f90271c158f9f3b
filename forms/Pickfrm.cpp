#include "Pickfrm.h"
#include "ui_Pickfrm.h"

#include "Connection.h"
#include "Statement.h"
#include "PickListDelegate.h"
#include "PickerSearch.h"
#include "PlainQuestion.h"
#include "SpeechClipboard.h"
#include "TerminalText.h"

#include <QCursor>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>

namespace {

// Unless it pastes for the user (on X11 only), the user pastes where the text is wanted.
const QString KeysHint = QStringLiteral("Enter copies (then press Ctrl+V), Esc closes");
const QString PastingKeysHint = QStringLiteral("Enter pastes, Esc closes");
const QString NoLibrary = QStringLiteral("No library is open: open one in the main window");
const QString TypeWords = QStringLiteral("Type words of a speech");
const QString NoneFound = QStringLiteral("No speech holds these words");

// What the list shows of a speech: its keywords, or the first line of its text without any.
QString itemLabel(const SpeechMatch &match)
{
    const QString label = match.keywords.trimmed().isEmpty() ? match.text.section(QLatin1Char('\n'), 0, 0) : match.keywords;
    return label.simplified();
}

} // namespace

TPickForm::TPickForm(Connection &connection, std::function<qint64()> selectedLanguage)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), m_ui(std::make_unique<Ui::TPickForm>()),
      m_connection(connection), m_selectedLanguage(std::move(selectedLanguage))
{
    m_ui->setupUi(this);
    m_ui->PickSplitter->setStretchFactor(0, 2);
    m_ui->PickSplitter->setStretchFactor(1, 3);
    m_ui->lblStatus->setText(keysHint());
    m_ui->lbSpeeches->setItemDelegate(new PickListDelegate(m_ui->lbSpeeches));
    // The field's clear button is a tool button of its own, nameless unless named here.
    for (QToolButton *clear : m_ui->edSearch->findChildren<QToolButton *>())
        clear->setAccessibleName(QStringLiteral("Clear the words"));
    // Keys reach the search field; it passes on what concerns the list and the window.
    m_ui->edSearch->installEventFilter(this);
    connect(m_ui->edSearch, &QLineEdit::textChanged, this, &TPickForm::search);
    connect(m_ui->cbAllLanguages, &QCheckBox::toggled, this, &TPickForm::search);
    connect(m_ui->lbSpeeches, &QListWidget::currentRowChanged, this, &TPickForm::showChosenText);
    connect(m_ui->lbSpeeches, &QListWidget::itemActivated, this, &TPickForm::copyChosen);
    auto *allLanguages = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(allLanguages, &QShortcut::activated, m_ui->cbAllLanguages, &QCheckBox::toggle);
}

TPickForm::~TPickForm() = default;

void TPickForm::setPastesAfterCopy(bool pastes)
{
    m_pastesAfterCopy = pastes;
    m_ui->lblStatus->setText(keysHint());
}

const QString &TPickForm::keysHint() const
{
    return m_pastesAfterCopy ? PastingKeysHint : KeysHint;
}

void TPickForm::open()
{
    // A search of its own for the database the main window has open now.
    if (!m_search || m_searchConnection != m_connection.connectionString()) {
        m_searchConnection = m_connection.connectionString();
        m_search = std::make_unique<PickerSearch>(m_searchConnection);
        connect(m_search.get(), &PickerSearch::found, this, &TPickForm::showMatches);
        connect(m_search.get(), &PickerSearch::failed, this, [this](const QString &message) {
            m_searchPending = m_copyOnArrival = false;
            m_ui->lblStatus->setText(message);
        });
    }
    readLanguageNames();
    search();
    m_ui->edSearch->selectAll();
    m_ui->edSearch->setFocus();
    if (!isVisible())
        placeUnderMouse();
    show();
    raise();
    activateWindow();
}

// Each change of the words or of the languages asks again; an older answer is never shown.
void TPickForm::search()
{
    if (!m_search)
        return;
    if (!m_connection.connected()) {
        m_searchPending = m_copyOnArrival = false;
        showMatches({});
        m_ui->lblStatus->setText(NoLibrary);
        return;
    }
    std::optional<qint64> language;
    if (!m_ui->cbAllLanguages->isChecked())
        language = m_selectedLanguage();
    m_searchPending = true;
    m_search->request(m_ui->edSearch->text(), language);
}

// The chosen speech stays chosen when it is found again; otherwise the best one is.
void TPickForm::showMatches(const std::vector<SpeechMatch> &matches)
{
    const int oldRow = m_ui->lbSpeeches->currentRow();
    const qint64 chosenId = oldRow >= 0 && oldRow < int(m_matches.size()) ? m_matches[size_t(oldRow)].speechId : 0;
    m_matches = matches;
    QSignalBlocker blocker(m_ui->lbSpeeches);
    m_ui->lbSpeeches->clear();
    int row = m_matches.empty() ? -1 : 0;
    for (const SpeechMatch &match : m_matches) {
        if (match.speechId == chosenId)
            row = m_ui->lbSpeeches->count();
        auto *item = new QListWidgetItem(itemLabel(match), m_ui->lbSpeeches);
        // Among all languages, each speech says which one it is in.
        if (m_ui->cbAllLanguages->isChecked()) {
            const QString language = m_languageNames.value(match.languageId);
            item->setData(PickListDelegate::LanguageRole, language);
            item->setData(Qt::AccessibleTextRole, QStringLiteral("%1 (%2)").arg(item->text(), language));
        }
    }
    m_ui->lbSpeeches->setCurrentRow(row);
    blocker.unblock();
    showChosenText();
    // With nothing typed the list holds the speeches copied most.
    const bool nothingTyped = m_ui->edSearch->text().trimmed().isEmpty();
    m_ui->lblStatus->setText(!m_matches.empty() ? (nothingTyped ? QStringLiteral("Copied most. ") : QString()) + keysHint()
                             : nothingTyped     ? TypeWords
                                                : NoneFound);
    m_searchPending = false;
    // Enter pressed before the answer came copies what the words typed by then find.
    if (std::exchange(m_copyOnArrival, false))
        copyChosen();
}

void TPickForm::showChosenText()
{
    const int row = m_ui->lbSpeeches->currentRow();
    m_ui->mmText->setPlainText(row >= 0 && row < int(m_matches.size()) ? m_matches[size_t(row)].text : QString());
}

void TPickForm::moveChoice(int step)
{
    const int count = m_ui->lbSpeeches->count();
    if (count > 0)
        m_ui->lbSpeeches->setCurrentRow(std::clamp(m_ui->lbSpeeches->currentRow() + step, 0, count - 1));
}

// The clipboard is set while the picker still has the focus: a Wayland desktop takes it only
// from the window the user works in.
void TPickForm::copyChosen()
{
    if (m_searchPending) {
        m_copyOnArrival = true;
        return;
    }
    const int row = m_ui->lbSpeeches->currentRow();
    if (row < 0 || row >= int(m_matches.size()))
        return;
    const SpeechMatch chosen = m_matches[size_t(row)]; // the list may change while the question is asked
    const QString text = m_pastesIntoTerminal ? TerminalText::pasteable(chosen.text) : chosen.text;
    if (m_pastesIntoTerminal && TerminalText::runsCommands(text) && !confirmTerminalPaste(text))
        return;
    {
        const auto closePicker = qScopeGuard([this] { hide(); });
        copySpeechToClipboard(m_connection, chosen.speechId, text);
    }
    emit copied();
}

// A terminal runs each line of a pasted text as it reaches its end: asked first, No the default.
bool TPickForm::confirmTerminalPaste(const QString &text)
{
    const qsizetype lineEnds = text.count(u'\n') + text.count(u'\r') - text.count(QStringLiteral("\r\n"));
    return PlainQuestion::yes(this, QStringLiteral("Paste into a terminal"),
                              QStringLiteral("The window to paste into is a terminal, and this speech has %1 line %2: "
                                             "the terminal runs each line as a command when it reaches its end.\n\n"
                                             "Paste it anyway?")
                                  .arg(lineEnds)
                                  .arg(QLatin1String(lineEnds == 1 ? "end" : "ends")));
}

bool TPickForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int pageStep = std::max(m_ui->lbSpeeches->height() / std::max(m_ui->lbSpeeches->sizeHintForRow(0), 1) - 1, 1);
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Up: moveChoice(-1); return true;
    case Qt::Key_Down: moveChoice(1); return true;
    case Qt::Key_PageUp: moveChoice(-pageStep); return true;
    case Qt::Key_PageDown: moveChoice(pageStep); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: copyChosen(); return true;
    case Qt::Key_Escape: hide(); return true;
    default: return QWidget::eventFilter(watched, event);
    }
}

// Small, near the top of the screen the user is looking at, whole on it.
void TPickForm::placeUnderMouse()
{
    const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    const QRect area = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
    const QFontMetrics metrics = fontMetrics();
    const QSize size(std::min(metrics.averageCharWidth() * 90, area.width()), std::min(metrics.height() * 18, area.height()));
    resize(size);
    move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 4);
}

void TPickForm::readLanguageNames()
{
    m_languageNames.clear();
    if (!m_connection.connected())
        return;
    Statement languages(m_connection.handle(), QStringLiteral("SELECT \"ID\", \"Taal\" FROM \"Taal\""));
    while (languages.step())
        m_languageNames.insert(languages.columnInt64(0), languages.columnValue(1).toString());
}
