#include "RecordSet.h"

// The record set's filter, which narrows its rows to those it admits.

void RecordSet::setFilter(const QString &filter)
{
    if (filter == m_filter)
        return;
    if (!active() || !m_filtered) {
        m_filter = filter;
        return;
    }
    const FilterExpression parsed = FilterExpression::parse(filter, m_columns);
    checkBrowseMode();
    m_filter = filter;
    rebuildCursor(parsed);
    first();
}

void RecordSet::setFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    if (!active()) {
        m_filtered = filtered;
        return;
    }
    const FilterExpression parsed = FilterExpression::parse(filtered ? m_filter : QString(), m_columns);
    checkBrowseMode();
    m_filtered = filtered;
    rebuildCursor(parsed);
    first();
}
