#include "Historydlg.h"
#include "ui_Historydlg.h"

#include "Connection.h"
#include "Database.h"
#include "GuardedCall.h"
#include "RecordSet.h"
#include "Statement.h"
#include "VersionChange.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

namespace {

// When a version was kept, in the user's own time.
QString localTime(const QString &changedAt)
{
    QDateTime when = QDateTime::fromString(changedAt, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    when.setTimeZone(QTimeZone::utc());
    return when.isValid() ? when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : changedAt;
}

QString firstLine(const QString &text)
{
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end < 0 ? text : text.left(end);
}

} // namespace

THistoryDialog::THistoryDialog(QWidget *owner, Kind kind, Connection &connection, RecordSet &speeches,
                               qint64 languageId)
    : QDialog(owner), m_ui(std::make_unique<Ui::THistoryDialog>()), m_kind(kind), m_connection(connection),
      m_speeches(speeches), m_languageId(languageId)
{
    m_ui->setupUi(this);
    const bool versions = kind == Kind::Versions;
    setWindowTitle(versions ? QStringLiteral("History") : QStringLiteral("Restore deleted speeches"));
    if (versions)
        m_ui->lvVersions->headerItem()->setText(3, QStringLiteral("Change from the version before"));
    m_ui->lvVersions->setAccessibleName(versions ? QStringLiteral("Versions") : QStringLiteral("Deleted speeches"));
    m_ui->lblRestoreLanguage->setVisible(!versions);
    m_ui->cbRestoreLanguage->setVisible(!versions);
    if (!versions)
        fillLanguages();
    connect(m_ui->lvVersions, &QTreeWidget::currentItemChanged, this, [this] { showSelected(); });
    connect(m_ui->btnRestore, &QPushButton::clicked, this, [this] { callGuarded([this] { btnRestoreClick(); }); });
    if (speeches.lockType() == LockType::ReadOnly)
        m_ui->btnRestore->setToolTip(QStringLiteral("Nothing is restored while the library is read-only"));
    connect(m_ui->btnClose, &QPushButton::clicked, this, &QDialog::accept);
    fillList();
}

THistoryDialog::~THistoryDialog() = default;

// The languages a deleted speech can be filed under instead of its own.
void THistoryDialog::fillLanguages()
{
    m_ui->cbRestoreLanguage->addItem(QStringLiteral("Its own language"));
    Database *db = m_connection.handle();
    Statement languages(db, QStringLiteral("select \"ID\", \"Taal\" from \"Taal\" order by \"Taal\" ") + db->textOrderClause());
    while (languages.step())
        m_ui->cbRestoreLanguage->addItem(languages.columnValue(1).toString(), languages.columnInt64(0));
}

void THistoryDialog::fillList()
{
    if (m_kind == Kind::Versions) {
        m_entries = m_speeches.currentKey() ? SpeechHistory::versionsOf(m_connection, *m_speeches.currentKey())
                                            : std::vector<SpeechVersion>();
    } else {
        m_entries = SpeechHistory::deletedSpeeches(m_connection, m_languageId);
        const std::vector<SpeechVersion> homeless = SpeechHistory::speechesWithoutLanguage(m_connection);
        m_entries.insert(m_entries.end(), homeless.begin(), homeless.end());
    }
    m_ui->lvVersions->clear();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const SpeechVersion &entry = m_entries[i];
        const QString when = entry.change == QLatin1String("current") ? QStringLiteral("(its language was deleted)")
                                                                       : localTime(entry.changedAt);
        m_ui->lvVersions->addTopLevelItem(
            new QTreeWidgetItem(QStringList{when, entry.changedBy, entry.keywords, textColumn(i)}));
    }
    for (int column = 0; column < 3; ++column)
        m_ui->lvVersions->resizeColumnToContents(column);
    if (!m_entries.empty())
        m_ui->lvVersions->setCurrentItem(m_ui->lvVersions->topLevelItem(0));
    showSelected();
}

// A version's text in the list: what it changed against the older version below it (the
// oldest, which has none, by its first line); a deleted speech by its first line.
QString THistoryDialog::textColumn(size_t row) const
{
    const bool hasOlder = m_kind == Kind::Versions && row + 1 < m_entries.size();
    return hasOlder ? VersionChange::summary(m_entries[row + 1].text, m_entries[row].text) : firstLine(m_entries[row].text);
}

void THistoryDialog::showSelected()
{
    const int row = m_ui->lvVersions->indexOfTopLevelItem(m_ui->lvVersions->currentItem());
    m_ui->memText->setPlainText(row >= 0 ? m_entries[size_t(row)].text : QString());
    m_ui->btnRestore->setEnabled(row >= 0 && m_speeches.lockType() != LockType::ReadOnly);
}

void THistoryDialog::btnRestoreClick()
{
    const int row = m_ui->lvVersions->indexOfTopLevelItem(m_ui->lvVersions->currentItem());
    if (row < 0)
        return;
    const SpeechVersion entry = m_entries[size_t(row)];
    if (m_kind == Kind::Versions) {
        SpeechHistory::restoreVersion(m_speeches, entry);
    } else {
        const QVariant chosen = m_ui->cbRestoreLanguage->currentData();
        SpeechHistory::restoreSpeech(m_connection, entry,
                                     chosen.isValid() ? std::optional(chosen.toLongLong()) : std::nullopt);
    }
    m_restored = entry.speechId;
    fillList();
}
