#pragma once

#include "framework/data/DataPacket.h"
#include "framework/data/Event.h"
#include "framework/data/Field.h"
#include "framework/data/FieldTypes.h"
#include "framework/data/FilterExpression.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

class TDataSource;

// An in-memory table: typed fields, a current record, the states inactive, browse, edit and
// insert with their before/after events, an optional index, a filter text switched on and off
// separately, and data packets in and out.
//
// Cursor moves (First, Next, Prior, Last, RecNo, Locate when found, Append, Insert, Delete,
// loading a packet, switching or changing an active filter) raise BeforeScroll and
// AfterScroll. Moving while a record is being edited or inserted posts it first.
// Event order:
//   Append/Insert: BeforeInsert, BeforeScroll, OnNewRecord, AfterInsert, AfterScroll
//   Edit: BeforeEdit, AfterEdit          Post: (UpdateRecord notice), BeforePost, AfterPost
//   Cancel: BeforeCancel, AfterCancel    Delete: BeforeDelete, BeforeScroll, AfterDelete,
//   AfterScroll
// An exception from a Before… handler (e.g. Abort) cancels the operation, which leaves the
// set as it was, and propagates. Refused operations throw EDatabaseError.
class TClientDataSet {
public:
    explicit TClientDataSet(const QString& name = {});
    virtual ~TClientDataSet();
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    QString Name() const;
    void SetName(const QString& name);

    // Defines a field (only while the set is closed) and returns it. Throws EDatabaseError
    // for a duplicate or empty name, or when the set is open.
    TField& AddField(const TFieldDef& def);
    // The field named name (any letter case); throws EDatabaseError naming the field and the set.
    TField& FieldByName(const QString& name) const;
    // The field named name, or null.
    TField* FindField(const QString& name) const;
    int FieldCount() const;
    TField& Fields(int i) const;

    // Opens the set empty with its defined fields. Throws when no field is defined.
    void CreateDataSet();
    // Closes the set, dropping its records and any pending edit.
    void Close();
    bool Active() const;
    // Drops every record (creating the set first when it is closed); any pending edit is
    // discarded. Raises no scroll events.
    void EmptyDataSet();
    TDataSetState State() const;
    // True while a record is being edited or inserted.
    bool Editing() const;

    // Starts a new record at the end (Append) or before the current record (Insert).
    void Append();
    void Insert();
    // Starts editing the current record; on an empty set it inserts instead. No-op while
    // already editing or inserting.
    void Edit();
    // Stores the record being edited or inserted. First the data-aware controls are asked to
    // write their pending typed text (TDataChange::UpdateRecord, not sent while controls are
    // disabled); a refusal propagates and leaves the record being edited. With an index the
    // record takes its place in index order; a record the active filter no longer shows stays
    // in the data, and the cursor goes to its neighbour. Required data fields must not be
    // null.
    void Post();
    // Discards the pending edit or insertion.
    void Cancel();
    // Removes the current record (while inserting, cancels the insertion). The cursor goes to
    // the next visible record, or the previous one when it was the last.
    void Delete();

    void First();
    void Next();
    void Prior();
    void Last();
    // True after Next at the last visible record, or when nothing is visible.
    bool Eof() const;
    // True after First or Prior at the first visible record, or when nothing is visible.
    bool Bof() const;
    // 1-based position among the visible records, 0 when none is current.
    int RecNo() const;
    // Moves to the n-th visible record (clamped into range).
    void SetRecNo(int n);
    // Visible records (through the active filter), not counting one being inserted.
    int RecordCount() const;
    // All stored records, whatever the filter.
    int TotalRecordCount() const;
    // True when no record is visible and none is being inserted.
    bool IsEmpty() const;
    // Moves to the first visible record whose field equals value exactly (numbers by value,
    // texts case-sensitively, null matches null). Returns false and stays put when there is
    // none. Throws EDatabaseError for an unknown field.
    bool Locate(const QString& field, const QVariant& value);

    // Field names (separated by ';') that order the records; "" keeps insertion order.
    QString IndexFieldNames() const;
    void SetIndexFieldNames(const QString& names);

    QString Filter() const;
    // Sets the filter text. A malformed text, or one naming an unknown field, is refused with
    // EDatabaseError quoting it, and the previous filter stays. When the filter is on and the
    // set open, the first visible record becomes current.
    void SetFilter(const QString& text);
    bool Filtered() const;
    // Switches the filter on or off; on an open set a switch makes the first visible record
    // current.
    void SetFiltered(bool on);

    // Every stored record (whatever the filter, without a pending edit) with the data fields.
    TDataPacket Data() const;
    // Replaces the whole content with p and opens the set in browse state on its first
    // visible record. Packet fields the set does not define are ignored (a set without fields
    // takes the packet's); fields the packet lacks are null. Values are converted to the
    // fields' types, strings cut to their size. On any error (EDatabaseError) nothing changes.
    void SetData(const TDataPacket& p);
    // Loads a copy of other's records (and its field definitions when this set has none).
    void CopyFrom(const TClientDataSet& other);

    // Suspends notifications to data sources; counted, so calls nest. Events of the set itself
    // still run.
    void DisableControls();
    // Undoes one DisableControls; the last one sends one whole-set notification (and a state
    // notification when the state changed meanwhile).
    void EnableControls();
    bool ControlsDisabled() const;

    // Rows as a grid shows them: the visible records plus a record being inserted.
    int VisibleCount() const;
    // Row of the current record among those rows, -1 when none.
    int CurrentVisibleRow() const;
    // Value of field fieldIndex in visible row `row`, without moving the cursor or raising
    // events. A row being edited or inserted shows its pending values.
    QVariant VisibleValue(int row, int fieldIndex) const;
    // Display text of that value, with the field's format and OnGetText applied for that row.
    QString VisibleDisplayText(int row, int fieldIndex) const;

    // Registers a listener for notifications to data-aware parts; returns its id.
    int AddChangeListener(std::function<void(TDataChange, TField*)> listener);
    void RemoveChangeListener(int id);

    Event<TClientDataSet&> BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost,
        BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll,
        OnNewRecord, OnCalcFields;

protected:
    // A read-only set refuses Append, Insert, Edit and Delete.
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const;

private:
    friend class TField;
    using Row = QVector<QVariant>;

    // Field access for TField.
    const QVariant& readValue(int fieldIndex) const;
    void writeValue(TField& f, const QVariant& v);

    [[noreturn]] void fail(const QString& message) const;
    void checkActive(const QString& operation) const;
    void checkWritable(const QString& operation) const;
    void checkBrowseMode();
    void notify(TDataChange change, TField* field = nullptr);
    void setState(TDataSetState s);
    void startInsert(bool append);
    void calculate(const Row& data, Row& calc);
    void prepareActivation();
    void dropContent();
    void rebuildIndexKeys();
    bool lessByIndex(const Row& ad, const Row& ac, const Row& bd, const Row& bc) const;
    int sortedPosition(const Row& data, const Row& calc) const;
    void sortRows();
    bool filterActive() const;
    bool matches(int storage) const;
    void bindFilter(pla::FilterExpression& e) const;
    void recomputeMatches();
    void rebuildVisible(int focusStorage);
    void applyFilterMove();
    int storageOfCurrent() const;
    bool rowsOf(int row, const Row*& data, const Row*& calc) const;
    std::optional<pla::FilterColumn> resolveColumn(const QString& name) const;
    QString label() const;

    QString name_;
    std::vector<std::unique_ptr<TField>> fields_;
    QHash<QString, int> byName_; // upper-case name -> field index
    QVector<int> slotOf_;        // field index -> slot in data or calc row
    int dataCount_ = 0, calcCount_ = 0;

    TDataSetState state_ = TDataSetState::Inactive;
    QVector<Row> rows_;       // stored records, in index order
    QVector<Row> calcs_;      // calculated values per stored record (empty rows when none)
    std::vector<char> match_; // per stored record: passes the active filter
    std::vector<int> vis_;    // visible rows: storage index, or -1 for a record being inserted
    int cur_ = -1;            // current position in vis_
    bool bof_ = true, eof_ = true;

    Row buf_, bufCalc_;            // pending record while editing or inserting
    int editStorage_ = -1;         // record being edited
    int insertAt_ = -1;            // storage position for an insertion without index
    int beforeInsertStorage_ = -1; // current record when the insertion started

    // Context for field access while calculating or drawing a given row.
    mutable const Row* ctxData_ = nullptr;
    mutable const Row* ctxCalc_ = nullptr;
    Row* calcTarget_ = nullptr;

    QString indexNames_;
    QVector<int> indexSlots_; // data/calc slots of the index fields
    QVector<bool> indexCalc_;
    QVector<TFieldType> indexTypes_;

    QString filterText_;
    pla::FilterExpression filter_;
    bool filtered_ = false;

    bool readOnly_ = false;
    int disableCount_ = 0;
    TDataSetState disableState_ = TDataSetState::Inactive;

    struct Listener {
        int id;
        std::function<void(TDataChange, TField*)> fn;
    };
    std::vector<Listener> listeners_;
    int nextListener_ = 1;

    friend class TDataSource;
    std::vector<TDataSource*> sources_;
};
