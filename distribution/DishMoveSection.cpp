#include "distribution/DishMoveSection.h"

#include <exception>

namespace pla {

DishMoveSection::DishMoveSection(TClientDataSet& available, TClientDataSet& rows,
                                 std::initializer_list<Step> leave)
    : available_(available), rows_(rows), leave_(leave) {}

DishMoveSection::~DishMoveSection() {
    try {
        Leave();
    } catch (...) { // NOLINT(bugprone-empty-catch): the first failure is already on its way
    }
}

void DishMoveSection::Enter(std::initializer_list<Step> steps) {
    for (Step s : steps)
        Suspend(s);
}

void DishMoveSection::Leave() {
    std::exception_ptr failure;
    for (Step s : leave_) {
        try {
            Restore(s);
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
}

void DishMoveSection::Suspend(Step s) {
    switch (s) {
    case AvailablePost:
        availablePost_.emplace(available_.BeforePost);
        break;
    case AvailableScroll:
        availableScroll_.emplace(available_.AfterScroll);
        break;
    case AvailableFilter:
        available_.SetFiltered(false);
        filterOff_ = true;
        break;
    case AvailableDisplay:
        available_.DisableControls();
        availableDisplayOff_ = true;
        break;
    case RowsInsertGuard:
        rowsInsert_.emplace(rows_.BeforeInsert);
        break;
    case RowsEditGuard:
        rowsEdit_.emplace(rows_.BeforeEdit);
        break;
    case RowsDisplay:
        rows_.DisableControls();
        rowsDisplayOff_ = true;
        break;
    }
}

void DishMoveSection::Restore(Step s) {
    switch (s) {
    case AvailablePost:
        availablePost_.reset();
        break;
    case AvailableScroll:
        availableScroll_.reset();
        break;
    case AvailableFilter:
        if (filterOff_) {
            filterOff_ = false;
            available_.SetFiltered(true);
        }
        break;
    case AvailableDisplay:
        if (availableDisplayOff_) {
            availableDisplayOff_ = false;
            available_.EnableControls();
        }
        break;
    case RowsInsertGuard:
        rowsInsert_.reset();
        break;
    case RowsEditGuard:
        rowsEdit_.reset();
        break;
    case RowsDisplay:
        if (rowsDisplayOff_) {
            rowsDisplayOff_ = false;
            rows_.EnableControls();
        }
        break;
    }
}

} // namespace pla
