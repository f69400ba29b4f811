#pragma once

#include <QJsonValue>
#include <QString>

class TWinControl;
class TDBGrid;

// Validation, message and formatting helpers the screens share.
namespace Consiste {

// Shows text in an error box (through the installed dialog service). With abortAction true
// it then ends the current user action silently by throwing Abort: nothing after the call
// runs. With false it returns after the box.
void MensErro(const QString& text, bool abortAction = true);

// Unwraps the raw result of a remote method, {"ok":true,"data":PAYLOAD}, and returns PAYLOAD
// (null when the server sent none). A refusal {"ok":false,"message":...} (connection faults
// arrive in that form too) or a result that is not such an envelope ends the current action:
// with showMessage true its text is first shown in an error box, then Abort is thrown.
// helpContext is the help topic of that box; 0 for none (the boxes carry no help here).
QJsonValue CheckResultServ(const QJsonValue& raw, bool showMessage = true, int helpContext = 0);

// Rounds value to the given number of decimal places, halves away from zero, on the value as
// written rather than its binary approximation (RoundDec(1.234565, 5) == 1.23457); the same
// routine the dish arithmetic and the application server use.
double RoundDec(double value, int decimals);

// True when text is empty or holds only blanks.
bool EmptyString(const QString& text);

// Normalises a code typed by the user: surrounding blanks removed, letters upper-cased, and
// a code made only of the digits 0-9 that is shorter than width left-padded with zeros:
// Ajusta("1", 4) == "0001", Ajusta(" 12", 5) == "00012", Ajusta("zz", 4) == "ZZ".
// A code longer than width is kept as typed (after trimming and upper-casing), so the
// lookup reports it as not registered instead of silently matching a different code.
QString Ajusta(const QString& code, int width);

// The Portuguese week-day name for a day-of-week digit, Sunday = "1" ... Saturday = "7":
// "Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado". Anything else gives
// an empty text.
QString DiaSemana(const QString& day);

// Enables or disables the container and every control inside it, at any depth.
void SetChildEnabled(TWinControl& container, bool enabled);

// The index of the grid column bound to fieldName (case-insensitive), or -1 when no column
// shows that field.
int IndiceCol(const TDBGrid& grid, const QString& fieldName);

// The text currently typed in the in-place editor of the column bound to fieldName: the
// editor's text while that column is being edited, otherwise the text the cell shows.
// With trimmed true surrounding blanks are removed. Unknown field: an empty text.
QString GridText(const TDBGrid& grid, const QString& fieldName, bool trimmed = false);

} // namespace Consiste
