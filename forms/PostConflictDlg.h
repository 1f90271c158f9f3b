#pragma once

#include <QDialog>
#include <QVariantList>
#include <functional>
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
    // Merged is never asked: the two versions changed different fields and were stored together.
    enum Choice { KeepEditing = 0, StoreOver, StoreAsNew, Drop, Merged };

    // typed holds the fields being edited; stored is the version stored now, none when the
    // speech was deleted; bothChanged names the fields both versions changed.
    TPostConflictDialog(QWidget *owner, RecordSet &typed, const std::optional<QVariantList> &stored,
                        const QStringList &bothChanged = {});

private:
    void addChoice(const QString &text, const QString &name, Choice choice);
    QWidget *versionPane(const QString &title, const QString &name, const QString &keywords, const QString &text,
                         const QString &comments);

    class QDialogButtonBox *m_buttons;
};

// Settles a post of the speeches that was refused for another's change. When the other changed
// only fields the user did not, both changes are stored together without a question and tell
// receives what was merged. Otherwise it asks the user, then stores or drops the typed speech as
// chosen; storing over the other version writes only the fields the user changed. An overwrite
// refused because the speech changed once more asks again with the newer version. Returns the
// choice carried out.
TPostConflictDialog::Choice settlePostConflict(QWidget *owner, RecordSet &speeches,
                                               const std::function<void(const QString &)> &tell);
