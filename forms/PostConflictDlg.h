#pragma once

#include <QDialog>
#include <QVariantList>
#include <optional>

class RecordSet;

// Asked when a speech the user changed could not be stored because someone else changed or
// deleted it in the meantime. It shows the user's version beside the one stored now and
// offers what can be done without losing what was typed: store it over the other version,
// store it as a new speech, drop it, or go on editing.
class TPostConflictDialog : public QDialog
{
    Q_OBJECT

public:
    enum Choice { KeepEditing = 0, StoreOver, StoreAsNew, Drop };

    // typed holds the fields being edited; stored is the version stored now, none when the
    // speech was deleted.
    TPostConflictDialog(QWidget *owner, RecordSet &typed, const std::optional<QVariantList> &stored);

private:
    void addChoice(const QString &text, const QString &name, Choice choice);
    QWidget *versionPane(const QString &title, const QString &name, const QString &keywords, const QString &text,
                         const QString &comments);

    class QDialogButtonBox *m_buttons;
};

// Settles a post of the speeches that was refused for another's change: asks the user, then
// stores or drops the typed speech as chosen. An overwrite refused because the speech changed
// once more asks again with the newer version. Returns the choice carried out.
TPostConflictDialog::Choice settlePostConflict(QWidget *owner, RecordSet &speeches);
