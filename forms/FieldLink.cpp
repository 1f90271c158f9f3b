#include "FieldLink.h"

#include "DataSource.h"
#include "Field.h"
#include "GuardedCall.h"
#include "RecordSet.h"

FieldLink::FieldLink(std::function<QString()> controlText, std::function<void(const QString &)> showText)
    : m_controlText(std::move(controlText)), m_showText(std::move(showText))
{
}

FieldLink::~FieldLink()
{
    if (m_dataSource)
        m_dataSource->removeLink(this);
}

void FieldLink::setDataSource(DataSource *dataSource)
{
    if (m_dataSource)
        m_dataSource->removeLink(this);
    m_dataSource = dataSource;
    if (m_dataSource)
        m_dataSource->addLink(this);
    showField();
}

RecordSet *FieldLink::recordSet() const
{
    return m_dataSource ? m_dataSource->dataSet() : nullptr;
}

Field *FieldLink::field() const
{
    RecordSet *set = recordSet();
    return set && !m_fieldName.isEmpty() ? set->fieldByName(m_fieldName) : nullptr;
}

bool FieldLink::canModify() const
{
    RecordSet *set = recordSet();
    return set && set->active() && set->lockType() != LockType::ReadOnly && !m_showing;
}

bool FieldLink::prepareChange()
{
    if (!canModify())
        return false;
    RecordSet *set = recordSet();
    if (set->state() == DataSetState::Browse)
        set->edit();
    return true;
}

void FieldLink::handOverFromEvent()
{
    callGuarded([this] { handOver(); });
}

void FieldLink::textChanged()
{
    if (m_showing || m_startingEdit)
        return;
    RecordSet *set = recordSet();
    if (!set)
        return;
    bool editing = set->state() == DataSetState::Edit || set->state() == DataSetState::Insert;
    if (!editing) {
        // Starting the edit of an empty list makes a new row, which every control shows;
        // this one keeps the text the user just gave it.
        m_startingEdit = true;
        callGuarded([this, &editing] { editing = prepareChange(); });
        m_startingEdit = false;
    }
    if (editing) {
        m_changed = true;
    } else if (later) {
        later([this] { showField(); });
    }
}

void FieldLink::handOver()
{
    if (!m_changed || m_handingOver)
        return;
    RecordSet *set = recordSet();
    if (!set || (set->state() != DataSetState::Edit && set->state() != DataSetState::Insert))
        return;
    m_handingOver = true;
    try {
        field()->setAsString(m_controlText());
    } catch (...) {
        m_handingOver = false;
        throw;
    }
    m_handingOver = false;
    m_changed = false;
}

void FieldLink::showField()
{
    m_showing = true;
    Field *shown = field();
    m_showText(shown ? shown->asString() : QString());
    m_showing = false;
    m_changed = false;
}

void FieldLink::stateChanged()
{
    if (onStateChanged)
        onStateChanged();
}

void FieldLink::recordChanged(Field *changed)
{
    // Our own hand-over changes the field, and the edit this control starts brings a new
    // row: either way the control already shows the text it should.
    if (m_handingOver || m_startingEdit)
        return;
    if (!changed || changed->fieldName().compare(m_fieldName, Qt::CaseInsensitive) == 0)
        showField();
}

void FieldLink::updateData()
{
    handOver();
}
