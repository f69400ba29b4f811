#pragma once

class TClientDataSet;

// The find dialog.
namespace Procurar {

// Opens the find dialog over the dataset; when the user finds a record the dataset is
// positioned on it. A closed dataset has nothing to search: nothing is opened.
void Procura(TClientDataSet& dataSet);

} // namespace Procurar
