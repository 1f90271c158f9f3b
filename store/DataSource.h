#pragma once

#include "DataSetState.h"

#include <QList>
#include <QObject>

class DataLink;
class Field;
class RecordSet;

// Binds a record set to data-aware controls: passes its state changes and row changes to
// the controls' links first and then to its own listeners.
class DataSource : public QObject
{
    Q_OBJECT

public:
    explicit DataSource(RecordSet *dataSet = nullptr);
    ~DataSource() override;
    DataSource(const DataSource &) = delete;
    DataSource &operator=(const DataSource &) = delete;

    void setDataSet(RecordSet *dataSet);
    RecordSet *dataSet() const { return m_dataSet; }
    DataSetState state() const;

    void addLink(DataLink *link);
    void removeLink(DataLink *link);

signals:
    // Listeners are told after the controls, in the order they connected, and must not raise.
    void onStateChange();
    void onDataChange(Field *field); // the field that changed, null when the whole row did

private:
    friend class RecordSet;
    void stateChanged();
    void recordChanged(Field *field);
    void updateData();

    RecordSet *m_dataSet = nullptr;
    QList<DataLink *> m_links;
};
