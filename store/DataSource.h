#pragma once

#include "DataSetState.h"

#include <QList>
#include <functional>

class DataLink;
class Field;
class RecordSet;

// Binds a record set to data-aware controls: passes its state changes and row changes to
// the controls' links first and then to its own handlers.
class DataSource
{
public:
    explicit DataSource(RecordSet *dataSet = nullptr);
    ~DataSource();
    DataSource(const DataSource &) = delete;
    DataSource &operator=(const DataSource &) = delete;

    void setDataSet(RecordSet *dataSet);
    RecordSet *dataSet() const { return m_dataSet; }
    DataSetState state() const;

    void addLink(DataLink *link);
    void removeLink(DataLink *link);

    std::function<void()> onStateChange;
    std::function<void(Field *)> onDataChange;

private:
    friend class RecordSet;
    void stateChanged();
    void recordChanged(Field *field);
    void updateData();

    RecordSet *m_dataSet = nullptr;
    QList<DataLink *> m_links;
};
