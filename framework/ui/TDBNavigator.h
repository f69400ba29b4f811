#pragma once

#include "framework/ui/FieldLink.h"
#include "framework/ui/TWinControl.h"

class TDataSource;

enum class TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};

// Record navigation buttons over a data source. Never takes the focus itself.
class TDBNavigator : public TWinControl {
public:
    explicit TDBNavigator(TComponent* owner);

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

    bool ButtonVisible(TNavigateBtn b) const;
    void SetButtonVisible(TNavigateBtn b, bool visible);
    // Whether the button would act now (the navigator enabled, the data set in a state where
    // the button means something).
    bool ButtonEnabled(TNavigateBtn b) const;
    bool ConfirmDelete() const { return confirmDelete_; }
    void SetConfirmDelete(bool c) { confirmDelete_ = c; }

    // A click on button b: nothing (false) when it is hidden or not enabled; otherwise the
    // data set operation (Delete asks first through the dialog services when ConfirmDelete).
    bool BtnClick(TNavigateBtn b);
    Event<TComponent&, TNavigateBtn> OnNavClick;

private:
    pla::FieldLink link_;
    unsigned visibleMask_ = 0x3FF;
    bool confirmDelete_ = true;
};
