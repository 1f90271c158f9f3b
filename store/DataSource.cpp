#include "DataSource.h"

#include "DataLink.h"
#include "RecordSet.h"

DataSource::DataSource(RecordSet *dataSet)
{
    setDataSet(dataSet);
}

DataSource::~DataSource()
{
    // Controls may outlive their data source (a window's members go before its child
    // widgets); they must not reach back into it.
    const QList<DataLink *> links = m_links;
    m_links.clear();
    for (DataLink *link : links)
        link->dataSourceDestroyed();
    // Let go of the record set without telling anyone: there is nobody left to tell.
    blockSignals(true);
    if (m_dataSet)
        m_dataSet->removeDataSource(this);
}

void DataSource::setDataSet(RecordSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        m_dataSet->removeDataSource(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->addDataSource(this);
    stateChanged();
}

DataSetState DataSource::state() const
{
    return m_dataSet ? m_dataSet->state() : DataSetState::Inactive;
}

void DataSource::addLink(DataLink *link)
{
    if (!m_links.contains(link))
        m_links.append(link);
}

void DataSource::removeLink(DataLink *link)
{
    m_links.removeAll(link);
}

void DataSource::stateChanged()
{
    const QList<DataLink *> links = m_links;
    for (DataLink *link : links)
        link->stateChanged();
    emit onStateChange();
}

void DataSource::recordChanged(Field *field)
{
    const QList<DataLink *> links = m_links;
    for (DataLink *link : links)
        link->recordChanged(field);
    emit onDataChange(field);
}

void DataSource::updateData()
{
    const QList<DataLink *> links = m_links;
    for (DataLink *link : links)
        link->updateData();
}
