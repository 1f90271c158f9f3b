#pragma once

#include "FieldLink.h"

#include <QPlainTextEdit>

// A multi-line text bound to a field of a data source; it edits like TDBEdit. Tab moves
// the focus on, as in every other control of a window; Ctrl+Tab puts a tab character in.
class TDBMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TDBMemo(QWidget *parent = nullptr);

    void setDataSource(DataSource *dataSource) { m_link.setDataSource(dataSource); }
    void setDataField(const QString &fieldName) { m_link.setDataField(fieldName); }
    FieldLink &link() { return m_link; }
    // The text as the field takes it, character for character: its own line ends, long
    // lines shown in several blocks whole again.
    QString storedText() const;
    // The same for the part between two positions of the document.
    QString storedText(int from, int to) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void stepOverContinuation(QKeyEvent *event);
    bool startNewLine(QKeyEvent *event);

    FieldLink m_link;
};
