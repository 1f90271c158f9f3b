#pragma once

#include "DataLink.h"

#include <QString>
#include <functional>

class DataSource;
class Field;
class RecordSet;

// The link of one data-aware text control to one field: shows the field's value, starts
// an edit whenever the user changes the text (by any means: keys, menus, drops, input
// methods), and hands the text to the field when the control loses the focus or the row
// is stored. The control supplies its text through the two functions and reports every
// change of its text to textChanged.
class FieldLink : public DataLink
{
public:
    FieldLink(std::function<QString()> controlText, std::function<void(const QString &)> showText);
    ~FieldLink() override;

    void setDataSource(DataSource *dataSource);
    DataSource *dataSource() const { return m_dataSource; }
    void setDataField(const QString &fieldName) { m_fieldName = fieldName; }
    const QString &dataField() const { return m_fieldName; }
    Field *field() const;

    // The row may be changed through this control: it is open, writable and not being
    // filled from the field.
    bool canModify() const;
    // Called before the control changes its text on the user's behalf: puts the record
    // set in edit. Returns false when the change must not happen.
    bool prepareChange();
    // The same, called from the control's own event functions: a failure is shown there
    // and the change does not happen.
    void handOverFromEvent();
    // The control's text changed. Unless the link itself is showing the field, the user
    // changed it: the record set goes into edit and the text goes to the field at the
    // next hand-over. A change the record set cannot take is undone (the field is shown
    // again once the control has finished its change).
    void textChanged();
    // Hands a changed text to the field now (focus leaving the control).
    void handOver();

    void stateChanged() override;
    void recordChanged(Field *field) override;
    void updateData() override;
    void dataSourceDestroyed() override { m_dataSource = nullptr; }

    std::function<void()> onStateChanged; // the control's own reaction, such as its size limit
    // Runs a call once the control has finished the change in hand.
    std::function<void(std::function<void()>)> later;

private:
    RecordSet *recordSet() const;
    void showField();

    std::function<QString()> m_controlText;
    std::function<void(const QString &)> m_showText;
    DataSource *m_dataSource = nullptr;
    QString m_fieldName;
    bool m_changed = false;
    bool m_showing = false;
    bool m_handingOver = false;
    bool m_startingEdit = false;
};
