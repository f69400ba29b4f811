#pragma once

#include "framework/ui/FieldLink.h"
#include "framework/ui/TCustomEdit.h"

class TDataSource;
class TField;

// An edit bound to one field of a data source. Shows the field's display text, or its edit
// text while focused. The user's first change puts the data set into edit state (its
// guards may refuse silently). Typed text is written to the field as soon as the field
// accepts it, and in any case when the focus leaves the edit (a text the field refuses then
// throws and keeps the focus here) or when the data set posts the record (a refusal then
// throws and stops the post).
class TDBEdit : public TCustomEdit {
public:
    explicit TDBEdit(TComponent* owner);

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    TField* Field() const { return link_.Field(); }

    // Writes a pending typed text to the field (EDatabaseError when the field refuses it).
    void UpdateRecord();

    void DoEnter() override;
    void DoExit() override;

protected:
    bool BeginUserEdit() override;
    void UserEdited() override;
    bool AcceptChar(QChar ch, int pos) const override;

private:
    void DataChanged(TDataChange change, TField* field);
    void Refresh();
    pla::FieldLink link_;
    bool pending_ = false;
    bool writing_ = false;
};
