#pragma once

#include "framework/print/PrintOutput.h"

#include <QQueue>
#include <QVector>

namespace pla {

// The print output of tests and scenarios: keeps every document it was given with what was
// asked of it. SavePdf "saves" to the next queued file name (none queued: the user gave up).
class RecordedPrintOutput : public PrintOutput {
public:
    enum class Action { Preview, Print, SavePdf, WritePdf };
    struct Job {
        Action action;
        PrintDocument document;
        QString file; // SavePdf, WritePdf
    };

    void Preview(const PrintDocument& document) override;
    bool Print(const PrintDocument& document) override;
    QString SavePdf(const PrintDocument& document, const QString& suggestedName) override;
    bool WritePdf(const PrintDocument& document, const QString& file, QString& error) override;

    void QueueSaveAs(const QString& file) { saveAs_.enqueue(file); }
    const QVector<Job>& Jobs() const { return jobs_; }
    // Suggested names given to SavePdf, oldest first.
    const QStringList& Suggestions() const { return suggestions_; }

private:
    QVector<Job> jobs_;
    QQueue<QString> saveAs_;
    QStringList suggestions_;
};

} // namespace pla
