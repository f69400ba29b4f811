#pragma once

#include "framework/print/PrintPage.h"

#include <QString>
#include <QVector>

// What a report hands to the print output: a title (the print job's and the PDF's) and its
// pages in order. Pages may differ in size (labels on a roll, then a list on A4).
struct PrintDocument {
    QString title;
    QVector<PrintPage> pages;
};
