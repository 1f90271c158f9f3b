#pragma once

class Field;

// What a data-aware control hears from its data source.
class DataLink
{
public:
    virtual ~DataLink() = default;

    // The record set opened, closed or changed between browse, edit and insert.
    virtual void stateChanged() {}
    // The current row changed (field is null) or one field of it did.
    virtual void recordChanged(Field *field) { (void)field; }
    // The row is about to be stored or left: hand over any text not yet in the field.
    virtual void updateData() {}
    // The data source is going away: forget it.
    virtual void dataSourceDestroyed() {}
};
