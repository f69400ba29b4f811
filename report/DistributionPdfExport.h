#pragma once

#include <QVariantMap>

namespace pla {

// The print module without its screen: the PDF of a whole branch day, or its labels in ZPL to
// a file or straight to a label printer, for a kitchen that prints from a script. Every
// failure is shown through the dialog services.
class DistributionPdfExport {
public:
    // params: "pdf" the file to write (required), "branch" (the user's branch when absent),
    // "date" as AAAA-MM-DD (today when absent), "stock" a label stock name (A4-2x7 when
    // absent), "contents" "etiquetas", "romaneios" or "ambos" (the default), "prepared" as
    // AAAA-MM-DD HH:MM (the menu date at this time when absent). Prints every service of the
    // day. True when the PDF was written; labels refused for missing data are shown as an
    // error after the packing lists were written.
    // Instead of "pdf": "zpl" a file, or "printer" a CUPS queue or HOST:PORT, takes the labels
    // alone in ZPL, on a roll "stock" (ROLO-100x60 when absent) at "dpi" 203 (default) or 300;
    // true when the file was written or the printer took the job.
    static bool Run(const QVariantMap& params);
};

} // namespace pla
