#pragma once

#include <QString>
#include <QStringList>

namespace pla {

// What pla-host was asked to do on its command line.
struct HostOptions {
    QString branch = QStringLiteral("0001"); // the logged-in user's branch
    bool tied = false;                       // the user is tied to that branch
    QString serverHost; // empty: start the embedded server; "https://name" for TLS
    int serverPort = 0;
    QString database;     // general database (and the embedded server's); empty: default
    QString moduleFolder; // empty: next to the program (or the build's lib folder)
    QString screenshot;   // write a PNG of the main window and exit
    QString focus;        // control of the opened screen that gets the focus first
    QString module = QStringLiteral("PLA15400");
    QString pdf;      // write the print module's PDF of a branch day here and exit
    QString date;     // menu date of that PDF (AAAA-MM-DD); empty: today
    QString prepared; // preparation on that PDF's labels (AAAA-MM-DD HH:MM); empty: default
    QString stock;    // label stock of that PDF; empty: the module's default
    QString contents; // etiquetas, romaneios or ambos; empty: both
    QString zpl;      // write that day's labels in ZPL here and exit
    QString printer;  // send them to this label printer (CUPS queue or HOST:PORT) and exit
    QString dpi;      // the label printer's resolution, 203 or 300; empty: 203

    bool Embedded() const { return serverHost.isEmpty(); }
    // A run that prints a branch day and exits: a PDF, or labels in ZPL to a file or printer.
    bool PrintRun() const { return !pdf.isEmpty() || !zpl.isEmpty() || !printer.isEmpty(); }
    // A run with nobody at the screen (a print run or a picture): no dialog may wait for an
    // answer.
    bool Headless() const { return PrintRun() || !screenshot.isEmpty(); }

    enum class ParseResult { Run, Help, Version, Error };
    // Reads arguments (program name first). message receives the help or version text or the
    // Portuguese reason the line was refused. Needs no window system.
    static ParseResult Parse(const QStringList& arguments, HostOptions& out, QString& message);
    // The database the embedded default uses: a SQLite file in the user's data folder.
    static QString DefaultDatabase();
};

} // namespace pla
