#pragma once

#include "framework/print/PrintDocument.h"

class QPainter;
class QPagedPaintDevice;

namespace pla {

// Draws printed pages on any Qt paint device: the printer, the preview and the PDF writer.
// Millimetres become device pixels directly (no painter scaling), so type sizes in points
// come out as the layout measured them.
class PagePainter {
public:
    // Draws the commands of page with the device's top left corner as the paper's.
    static void DrawPage(QPainter& painter, const PrintPage& page);
    // Sets each page's size on device and draws every page of document. False when the
    // device cannot be painted on (a file that cannot be written, a printer gone).
    static bool DrawDocument(QPagedPaintDevice& device, const PrintDocument& document);
};

} // namespace pla
