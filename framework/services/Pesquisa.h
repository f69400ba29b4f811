#pragma once

#include <QString>

class TDataSource;

// The lookup pick list.
namespace Pesquisa {

// Lets the user pick one record of the source's dataset in a modal list over its shown
// fields. caption is "title|text for an empty list" (without a bar it is all title).
// When the dataset is closed or has no visible record, the empty-list text is shown in an
// information box and false is returned without opening the list. Returns true when the
// user picked a record; the dataset is then positioned on it. On cancel it returns false
// and the dataset stays on the record it was on.
// multiSelect and modal are accepted for the usual call shape (false, true); the list is
// always modal and single-choice.
bool Pesquisar(TDataSource& source, const QString& caption, bool multiSelect = false,
               bool modal = true);

} // namespace Pesquisa
