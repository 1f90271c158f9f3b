#include "PostConflictDlg.h"

#include "EPostConflict.h"
#include "Field.h"
#include "RecordSet.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString storedText(RecordSet &speeches, const std::optional<QVariantList> &stored, const QString &field)
{
    const int column = speeches.fieldNames().indexOf(field);
    if (!stored || column < 0)
        return QString();
    const QVariant &value = stored->at(column);
    // Bytes that are not UTF-8 text show as well as they can; they are never written back from here.
    return value.typeId() == QMetaType::QByteArray ? QString::fromUtf8(value.toByteArray()) : value.toString();
}

// The fields as the user knows them: "the keywords and the comments".
QString fieldsInWords(const QStringList &fields)
{
    static const QMap<QString, QString> words{{QStringLiteral("Keywords"), QStringLiteral("keywords")},
                                              {QStringLiteral("Tekst"), QStringLiteral("text")},
                                              {QStringLiteral("Comments"), QStringLiteral("comments")},
                                              {QStringLiteral("TaalID"), QStringLiteral("language")}};
    QStringList named;
    for (const QString &field : fields)
        named.append(QStringLiteral("the ") + words.value(field, field));
    if (named.size() < 2)
        return named.join(QString());
    const QString last = named.takeLast();
    return named.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

TPostConflictDialog::TPostConflictDialog(QWidget *owner, RecordSet &typed, const std::optional<QVariantList> &stored,
                                         const QStringList &bothChanged)
    : QDialog(owner), m_buttons(new QDialogButtonBox(this))
{
    setObjectName(QStringLiteral("PostConflictDlg"));
    const bool deleted = !stored;
    setWindowTitle(deleted ? QStringLiteral("Speech deleted by someone else")
                           : QStringLiteral("Speech changed by someone else"));
    auto *layout = new QVBoxLayout(this);
    auto *message = new QLabel(
        deleted ? QStringLiteral("Someone else deleted this speech while you were editing it. Your version is "
                                 "still here: store it as a new speech, or drop it.")
                : QStringLiteral("Someone else changed %1 of this speech while you were editing it. Your version "
                                 "is on the left, the one stored now on the right. Storing yours over theirs "
                                 "writes only what you changed; nothing you typed is lost unless you drop it.")
                      .arg(bothChanged.isEmpty() ? QStringLiteral("the fields") : fieldsInWords(bothChanged)),
        this);
    message->setObjectName(QStringLiteral("lblMessage"));
    message->setWordWrap(true);
    layout->addWidget(message);

    auto *panes = new QHBoxLayout;
    const auto typedValue = [&typed](const char *field) { return typed.fieldByName(QLatin1String(field))->asString(); };
    panes->addWidget(versionPane(QStringLiteral("Your version"), QStringLiteral("Yours"), typedValue("Keywords"),
                                 typedValue("Tekst"), typedValue("Comments")));
    if (!deleted)
        panes->addWidget(versionPane(QStringLiteral("Stored by someone else"), QStringLiteral("Theirs"),
                                     storedText(typed, stored, QStringLiteral("Keywords")),
                                     storedText(typed, stored, QStringLiteral("Tekst")),
                                     storedText(typed, stored, QStringLiteral("Comments"))));
    layout->addLayout(panes, 1);

    if (!deleted)
        addChoice(QStringLiteral("Store &mine over theirs"), QStringLiteral("btnStoreOver"), StoreOver);
    addChoice(QStringLiteral("Store mine as a &new speech"), QStringLiteral("btnStoreAsNew"), StoreAsNew);
    addChoice(QStringLiteral("&Drop mine"), QStringLiteral("btnDrop"), Drop);
    QPushButton *keepEditing = m_buttons->addButton(QStringLiteral("Keep &editing"), QDialogButtonBox::RejectRole);
    keepEditing->setObjectName(QStringLiteral("btnKeepEditing"));
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_buttons);
    // The safe answer is the default: Enter or Esc go back to editing.
    keepEditing->setDefault(true);
    keepEditing->setFocus();
    resize(720, 420);
}

void TPostConflictDialog::addChoice(const QString &text, const QString &name, Choice choice)
{
    QPushButton *button = m_buttons->addButton(text, QDialogButtonBox::ActionRole);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, choice] { done(choice); });
}

QWidget *TPostConflictDialog::versionPane(const QString &title, const QString &name, const QString &keywords,
                                          const QString &text, const QString &comments)
{
    auto *pane = new QGroupBox(title, this);
    pane->setObjectName(QStringLiteral("grp") + name);
    auto *layout = new QVBoxLayout(pane);
    auto *keywordLine = new QLineEdit(keywords, pane);
    keywordLine->setObjectName(QStringLiteral("edt%1Keywords").arg(name));
    keywordLine->setReadOnly(true);
    keywordLine->setAccessibleName(QStringLiteral("%1: keywords").arg(title));
    layout->addWidget(keywordLine);
    for (const auto &[column, value, label] : {std::tuple{QStringLiteral("Tekst"), text, QStringLiteral("text")},
                                             std::tuple{QStringLiteral("Comments"), comments, QStringLiteral("comments")}}) {
        auto *memo = new QPlainTextEdit(pane);
        memo->setObjectName(QStringLiteral("mem%1%2").arg(name, column));
        memo->setPlainText(value);
        memo->setReadOnly(true);
        memo->setAccessibleName(QStringLiteral("%1: %2").arg(title, label));
        layout->addWidget(memo, column == QLatin1String("Tekst") ? 3 : 1);
    }
    return pane;
}

TPostConflictDialog::Choice settlePostConflict(QWidget *owner, RecordSet &speeches,
                                               const std::function<void(const QString &)> &tell)
{
    for (;;) {
        const std::optional<QVariantList> stored = speeches.storedRow();
        const QStringList bothChanged = stored ? speeches.fieldsChangedOnBothSides(*stored) : QStringList();
        if (stored && bothChanged.isEmpty()) {
            const QStringList theirs = speeches.fieldsChangedOnlyThere(*stored);
            try {
                speeches.postOver(*stored);
            } catch (const EPostConflict &) {
                continue;
            }
            if (tell)
                tell(QStringLiteral("Stored your change together with %1 another user changed meanwhile")
                         .arg(fieldsInWords(theirs)));
            return TPostConflictDialog::Merged;
        }
        TPostConflictDialog dialog(owner, speeches, stored, bothChanged);
        const auto choice = TPostConflictDialog::Choice(dialog.exec());
        switch (choice) {
        case TPostConflictDialog::StoreOver:
            try {
                speeches.postOver(*stored);
            } catch (const EPostConflict &) {
                continue; // changed once more while the user looked: show the newer version
            }
            break;
        case TPostConflictDialog::StoreAsNew:
            speeches.editAsNewRow();
            speeches.post();
            break;
        case TPostConflictDialog::Drop:
            speeches.cancel();
            break;
        case TPostConflictDialog::KeepEditing:
        case TPostConflictDialog::Merged:
            break;
        }
        return choice;
    }
}
