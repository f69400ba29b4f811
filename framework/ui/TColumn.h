#pragma once

#include <QColor>
#include <QString>
#include <functional>

class TDBGrid;
class TField;

// Whether a grid column's in-place editor shows a button ("...") that raises the grid's
// OnEditButtonClick.
enum class TColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };

// One column of a data grid, bound to a field by name.
class TColumn {
public:
    TColumn(TDBGrid& grid, const QString& fieldName);
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    TDBGrid& Grid() const { return grid_; }
    // Position among the grid's columns.
    int Index() const;

    QString FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name);
    // The bound field of the grid's data set, or nullptr.
    TField* Field() const;

    // The title shown: the one set, else the field's display label, else the field name.
    QString Title() const;
    void SetTitle(const QString& title);
    int Width() const { return width_; }
    void SetWidth(int w);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool r);
    TColumnButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TColumnButtonStyle s);
    // Cell background; invalid means the grid's colour.
    QColor Color() const { return color_; }
    void SetColor(const QColor& c);
    // What a screen reader says for a cell of this column, given the cell's text: that text
    // itself unless a column drawn as a picture says what the picture means.
    QString SpokenText(const QString& shown) const { return spoken_ ? spoken_(shown) : shown; }
    void SetSpokenText(std::function<QString(const QString& shown)> spoken) {
        spoken_ = std::move(spoken);
    }

private:
    void Changed();
    TDBGrid& grid_;
    QString fieldName_;
    QString title_;
    int width_ = 64;
    bool visible_ = true;
    bool readOnly_ = false;
    TColumnButtonStyle buttonStyle_ = TColumnButtonStyle::cbsAuto;
    QColor color_;
    std::function<QString(const QString&)> spoken_;
};
