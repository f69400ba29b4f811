#pragma once

#include "framework/data/ClientDataSet.h"
#include "framework/data/Event.h"
#include "framework/data/EventSuspend.h"

#include <initializer_list>
#include <optional>
#include <vector>

namespace pla {

// What a dish move suspends while it writes the amounts itself: the undistributed list's
// recomputation, its quantity-per-person enabling, its filter and display, and the dish
// rows' guards and display. Each move names the order in which it suspends and restores.
class DishMoveSection {
public:
    enum Step {
        AvailablePost,   // before-post handler of the undistributed list
        AvailableScroll, // its after-scroll handler
        AvailableFilter, // its filter (suspended = off)
        AvailableDisplay,
        RowsInsertGuard, // before-insert guard of the dish rows
        RowsEditGuard,   // their before-edit guard
        RowsDisplay,
    };

    // A section over the undistributed list and the dish rows that restores in the order
    // given by leave; nothing is suspended yet.
    DishMoveSection(TClientDataSet& available, TClientDataSet& rows,
                    std::initializer_list<Step> leave);
    DishMoveSection(const DishMoveSection&) = delete;
    DishMoveSection& operator=(const DishMoveSection&) = delete;

    // Restores whatever is still suspended (only reached when Leave did not run).
    ~DishMoveSection();

    // Suspends the steps in the given order.
    void Enter(std::initializer_list<Step> steps);

    // Restores every suspended step in the leave order; all run even when one fails, and
    // the first failure is then rethrown.
    void Leave();

private:
    using DataSetEvent = Event<TClientDataSet&>;

    void Suspend(Step s);
    void Restore(Step s);

    TClientDataSet& available_;
    TClientDataSet& rows_;
    std::vector<Step> leave_;
    std::optional<EventSuspend<DataSetEvent>> availablePost_, availableScroll_, rowsInsert_,
        rowsEdit_;
    bool filterOff_ = false, availableDisplayOff_ = false, rowsDisplayOff_ = false;
};

} // namespace pla
