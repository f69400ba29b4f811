#pragma once

#include "framework/ui/FieldLink.h"
#include "framework/ui/TGraphicControl.h"

class TDataSource;
class TField;

// A label showing the display text of one field of the current record.
class TDBText : public TGraphicControl {
public:
    explicit TDBText(TComponent* owner);

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    TField* Field() const { return link_.Field(); }

private:
    void Refresh();
    pla::FieldLink link_;
};
