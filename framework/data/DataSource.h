#pragma once

#include "framework/data/Event.h"
#include "framework/data/FieldTypes.h"

#include <QString>
#include <functional>
#include <vector>

class TClientDataSet;
class TField;

// Connects data-aware controls to a data set: forwards its state changes and data changes
// (scrolls, record and field changes, whole-set changes). Nothing arrives while the data
// set's controls are disabled.
class TDataSource {
public:
    explicit TDataSource(const QString& name = {}, TClientDataSet* ds = nullptr);
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    QString Name() const;
    // The data set (null when none, or after the data set was destroyed).
    TClientDataSet* DataSet() const;
    void SetDataSet(TClientDataSet* ds);

    // Raised when the data set's state changed.
    Event<TDataSource&> OnStateChange;
    // Raised when the data changed; the field is set for a change of one field only.
    Event<TDataSource&, TField*> OnDataChange;
    // Raised when the data set is about to post and asks for pending typed text, before the
    // controls' listeners write theirs.
    Event<TDataSource&> OnUpdateData;

    // Registers a data-aware control's listener (all notifications); returns its id.
    int AddListener(std::function<void(TDataChange, TField*)> listener);
    void RemoveListener(int id);

private:
    friend class TClientDataSet;
    void dataSetDestroyed();
    void detach();
    void dispatch(TDataChange change, TField* field);

    QString name_;
    TClientDataSet* ds_ = nullptr;
    int dsListener_ = 0;
    struct Listener {
        int id;
        std::function<void(TDataChange, TField*)> fn;
    };
    std::vector<Listener> listeners_;
    int nextId_ = 1;
};
