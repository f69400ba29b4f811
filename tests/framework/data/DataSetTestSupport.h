#pragma once

#include "framework/data/ClientDataSet.h"

#include <QStringList>

namespace pla::test {

// A set shaped like the undistributed-dishes list: a key, an ordering number, three amounts
// and a name of 10 characters.
inline void DefineDishes(TClientDataSet& ds) {
    ds.AddField({.Name = "NRSEQPRATCAR", .Type = TFieldType::Float});
    ds.AddField({.Name = "NRORDPRATCAR", .Type = TFieldType::Float});
    ds.AddField(
        {.Name = "QTCOMENSAIS", .Type = TFieldType::Float, .DisplayFormat = "##0.00000;0; "});
    ds.AddField({.Name = "QTPRATO", .Type = TFieldType::Float, .DisplayFormat = "##0.00000;0; "});
    ds.AddField({.Name = "NMPRATO", .Type = TFieldType::String, .Size = 10});
}

inline void AddDish(TClientDataSet& ds, double seq, double ord, double com, double qt,
                    const QString& name) {
    ds.Append();
    ds.FieldByName("NRSEQPRATCAR").SetAsFloat(seq);
    ds.FieldByName("NRORDPRATCAR").SetAsFloat(ord);
    ds.FieldByName("QTCOMENSAIS").SetAsFloat(com);
    ds.FieldByName("QTPRATO").SetAsFloat(qt);
    ds.FieldByName("NMPRATO").SetAsString(name);
    ds.Post();
}

// Values of one field over the visible records, in cursor order, read without moving the
// cursor.
inline QStringList Column(const TClientDataSet& ds, const QString& field) {
    QStringList out;
    const int fi = ds.FieldByName(field).Index();
    for (int r = 0; r < ds.VisibleCount(); ++r)
        out << ds.VisibleValue(r, fi).toString();
    return out;
}

// Records every event of a data set, in order, by name.
class EventLog {
public:
    explicit EventLog(TClientDataSet& ds) {
        hook(ds.BeforeInsert, "BeforeInsert");
        hook(ds.AfterInsert, "AfterInsert");
        hook(ds.BeforeEdit, "BeforeEdit");
        hook(ds.AfterEdit, "AfterEdit");
        hook(ds.BeforePost, "BeforePost");
        hook(ds.AfterPost, "AfterPost");
        hook(ds.BeforeCancel, "BeforeCancel");
        hook(ds.AfterCancel, "AfterCancel");
        hook(ds.BeforeDelete, "BeforeDelete");
        hook(ds.AfterDelete, "AfterDelete");
        hook(ds.BeforeScroll, "BeforeScroll");
        hook(ds.AfterScroll, "AfterScroll");
        hook(ds.OnNewRecord, "OnNewRecord");
    }
    QStringList Take() {
        QStringList out = log_;
        log_.clear();
        return out;
    }
    QStringList log_;

private:
    void hook(Event<TClientDataSet&>& e, const QString& name) {
        e = [this, name](TClientDataSet&) { log_ << name; };
    }
};

} // namespace pla::test
