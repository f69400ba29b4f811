#pragma once

#include "framework/data/FieldTypes.h"

#include <QString>
#include <functional>

class TDataSource;
class TClientDataSet;
class TField;

namespace pla {

// Ties a data-aware control to a data source and (optionally) one field by name: forwards
// the source's notifications and resolves the field afresh on every use, so a data set whose
// fields are defined later still works.
class FieldLink {
public:
    using Listener = std::function<void(TDataChange, TField*)>;

    explicit FieldLink(Listener listener);
    ~FieldLink();
    FieldLink(const FieldLink&) = delete;
    FieldLink& operator=(const FieldLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    // Re-registers with the new source (the old one must still be alive) and tells the
    // listener with a whole-set change.
    void SetDataSource(TDataSource* source);
    QString FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name);

    // The source's data set, or nullptr.
    TClientDataSet* DataSet() const;
    // True when the data set is open.
    bool Active() const;
    // The bound field, or nullptr (no data set, no such field).
    TField* Field() const;
    // True while the data set edits or inserts a record.
    bool Editing() const;
    // Puts the data set into edit state when it browses; the set's guards may throw (Abort).
    // True when it edits or inserts afterwards.
    bool Edit();

private:
    Listener listener_;
    TDataSource* source_ = nullptr;
    int listenerId_ = 0;
    QString fieldName_;
};

} // namespace pla
