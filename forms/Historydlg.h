#pragma once

#include "SpeechHistory.h"

#include <QDialog>
#include <memory>

class Connection;
class RecordSet;
namespace Ui {
class THistoryDialog;
}

// Lists what the library kept of lost text and brings a piece of it back: the versions of
// the current speech, or the deleted speeches of a language together with the speeches whose
// language no longer exists. Each is shown whole when selected.
class THistoryDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Kind { Versions, Deleted };

    // For Versions, speeches is the main window's record set, whose current speech is shown.
    THistoryDialog(QWidget *owner, Kind kind, Connection &connection, RecordSet &speeches, qint64 languageId);
    ~THistoryDialog() override;

    Ui::THistoryDialog *ui() const { return m_ui.get(); }
    // The speech last restored; none when nothing was.
    std::optional<qint64> restoredSpeech() const { return m_restored; }

    // Restores the selected entry; raises EDatabaseError when it is refused.
    void btnRestoreClick();

private:
    void fillList();
    void fillLanguages();
    void showSelected();
    QString textColumn(size_t row) const;

    std::unique_ptr<Ui::THistoryDialog> m_ui;
    Kind m_kind;
    Connection &m_connection;
    RecordSet &m_speeches;
    qint64 m_languageId;
    std::vector<SpeechVersion> m_entries;
    std::optional<qint64> m_restored;
};
