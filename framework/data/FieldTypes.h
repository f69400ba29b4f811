#pragma once

#include <QString>

// Life cycle of a data set: closed, showing records, changing the current record, or
// building a new one.
enum class TDataSetState { Inactive, Browse, Edit, Insert };

// Value types a field can hold. Strings hold at most Size characters (0: unlimited).
enum class TFieldType { String, Float, Integer, Date };

// Data fields are stored and travel in data packets; calculated fields are filled by the
// data set's OnCalcFields handler and never leave the data set.
enum class TFieldKind { Data, Calculated };

// What a data set tells its data sources: the state changed, the cursor moved, the current
// record was rewritten, one field changed, or the whole content changed. UpdateRecord is a
// request rather than a change: the record is about to be posted, and every data-aware
// control holding typed text that has not reached its field must write it now (throwing
// when the field refuses it, which stops the post).
enum class TDataChange { State, Scroll, Record, Field, DataSet, UpdateRecord };

// Definition of one field, as given to TClientDataSet::AddField.
struct TFieldDef {
    QString Name{};
    TFieldType Type = TFieldType::String;
    int Size = 0;
    TFieldKind Kind = TFieldKind::Data;
    QString DisplayLabel{};
    bool Visible = true;
    QString DisplayFormat{};
    QString EditMask{};
    bool Required = false;
    int DisplayWidth = 0;
};
