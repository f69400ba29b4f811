#pragma once

#include "framework/data/Event.h"
#include "framework/data/FieldTypes.h"

#include <QDate>
#include <QString>
#include <QVariant>

class TClientDataSet;

// One column of a client data set. It belongs to its data set and reads and writes the data
// set's current record (or the record being edited, inserted or calculated).
class TField {
public:
    // Name as defined; look-ups by name ignore letter case.
    QString FieldName() const;
    TFieldType DataType() const;
    // Maximum length in characters of a string field (0: unlimited).
    int Size() const;
    TFieldKind FieldKind() const;
    // Position among the data set's fields.
    int Index() const;

    // Presentation attributes for grids and edits. DisplayLabel starts as the defined label,
    // or the field name when none was given.
    QString DisplayLabel;
    bool Visible = true;
    QString DisplayFormat;
    QString EditMask;
    bool Required = false;
    int DisplayWidth = 0;

    // The current record's value; an invalid QVariant is null. QString, double, int or QDate
    // according to the type.
    QVariant Value() const;
    // Stores v converted to the field's type; a string keeps its first Size characters. Throws
    // EDatabaseError outside Edit/Insert (a calculated field may also be written while the
    // data set calculates), or when v cannot be converted.
    void SetValue(const QVariant& v);
    bool IsNull() const;
    // Sets the value to null (same rules as SetValue).
    void Clear();

    // Value as text: strings as stored, numbers in the general format with a comma, dates as
    // dd/mm/yyyy, null as "".
    QString AsString() const;
    // Strings keep their first Size characters; for numeric and date fields the text is read
    // as SetText does.
    void SetAsString(const QString& s);
    // Numeric value; null reads as 0. A string field's text is read as a number (comma).
    double AsFloat() const;
    void SetAsFloat(double v);
    // Numeric value rounded to a whole number (half away from zero); null reads as 0.
    int AsInteger() const;
    void SetAsInteger(int v);
    // Date value; null (or not a date) reads as an invalid date.
    QDate AsDate() const;
    void SetAsDate(const QDate& d);

    // Text for display: DisplayFormat applied (numbers with the comma, dates dd/mm/yyyy), null
    // as "", then OnGetText with displayText true may replace it.
    QString DisplayText() const;
    // Text for editing: as AsString, then OnGetText with displayText false may replace it.
    QString Text() const;
    // Stores text typed by the user: "" makes the value null; numbers are read with the comma
    // and dates as dd/mm/yyyy, anything else is refused with EDatabaseError.
    void SetText(const QString& text);

    TClientDataSet& DataSet() const;

    // Raised after a value was assigned to this field.
    Event<TField&> OnChange;
    // Raised when text for the field is wanted; the handler may change the text. The text
    // arrives already formatted; the flag tells display (true) from editing (false).
    Event<TField&, QString&, bool> OnGetText;

    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

private:
    friend class TClientDataSet;
    TField(TClientDataSet& ds, int index, const TFieldDef& def);
    QString formatted(bool display) const;
    // v as a value of this field's type. Texts are read as typed by a user (decimal comma,
    // dd/mm/yyyy), or as on the wire (decimal point, YYYY-MM-DD) when wire is set.
    QVariant convert(const QVariant& v, bool wire = false) const;

    TClientDataSet& ds_;
    int index_;
    TFieldDef def_;
};
