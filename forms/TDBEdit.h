#pragma once

#include "FieldLink.h"

#include <QLineEdit>

// A one-line edit bound to a field of a data source. Any change of its text while its
// record set is writable starts an edit; its text reaches the field when it loses the focus or when
// the row is stored. It takes no more characters than the field holds.
class TDBEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TDBEdit(QWidget *parent = nullptr);

    void setDataSource(DataSource *dataSource) { m_link.setDataSource(dataSource); }
    void setDataField(const QString &fieldName);
    FieldLink &link() { return m_link; }

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void applyFieldSize();

    FieldLink m_link;
};
