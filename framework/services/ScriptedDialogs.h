#pragma once

#include "framework/ui/DialogService.h"

#include <QQueue>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>
#include <stdexcept>

namespace pla {

// A dialog the script did not foresee: a question or pick list with no queued answer, or a
// queued answer that is not one of the box's buttons. The text says which dialog it was.
class UnexpectedDialog : public std::runtime_error {
public:
    explicit UnexpectedDialog(const QString& message);
    QString Message() const { return message_; }

private:
    QString message_;
};

// The dialog service of tests and the scenario runner. Records every message box (kind and
// text) in order, answers questions and pick lists from queues, and tracks the busy
// animation. A box whose only button is OK needs no answer (recorded and dismissed).
// Failures are also kept in Failures(), since the action dispatcher may catch the exception.
class ScriptedDialogs : public DialogService {
public:
    enum class Answer { OK, Cancel, Yes, No };

    struct Message {
        MsgDlgType type;
        QString text;
        MsgDlgButtons buttons;
    };

    // "OK", "Cancel", "Yes" or "No" (case-insensitive); nullopt for anything else.
    static std::optional<Answer> ParseAnswer(const QString& text);

    // Queues the answer to the next question box.
    void QueueAnswer(Answer answer);
    // Queues the choice of the next pick list: its row-th visible row (1 = first).
    void QueuePick(int row);
    // Queues a cancelled pick list.
    void QueuePickNone();
    // Queues what the next find dialog finds: the first record whose field equals value.
    void QueueFind(const QString& field, const QVariant& value);

    int MessageBox(const QString& text, MsgDlgType type, MsgDlgButtons buttons) override;
    // Positions the dataset on the queued row. Throws UnexpectedDialog when nothing is
    // queued or the row is not there.
    bool PickList(TDataSource& source, const QString& caption) override;
    // Locates the queued record; with nothing queued the user closes the dialog unused.
    void Find(TClientDataSet& dataSet) override;
    void BusyBegin(int kind) override;
    void BusyEnd() override;

    // Every message shown, oldest first.
    const QVector<Message>& Messages() const { return messages_; }
    // The oldest message not yet taken, removed from the unchecked ones (nullopt: none).
    std::optional<Message> TakeMessage();
    // Messages not yet taken.
    int UncheckedCount() const { return static_cast<int>(messages_.size()) - checked_; }

    // Captions of the pick lists opened, oldest first.
    const QStringList& PickCaptions() const { return pickCaptions_; }
    // How many find dialogs were opened.
    int FindCount() const { return findCount_; }

    int PendingAnswers() const { return static_cast<int>(answers_.size()); }
    int PendingPicks() const { return static_cast<int>(picks_.size()); }

    // Busy animation: levels open now, times it appeared (from no level to one), and
    // BusyEnd calls that had no level to close.
    int BusyDepth() const { return busyDepth_; }
    int BusyShownCount() const { return busyShown_; }
    int BusyUnbalancedEnds() const { return busyUnbalanced_; }

    // Every UnexpectedDialog raised so far, oldest first.
    const QStringList& Failures() const { return failures_; }

    // Forgets messages, queues, counters and failures.
    void Reset();

private:
    [[noreturn]] void Fail(const QString& message);

    QVector<Message> messages_;
    int checked_ = 0;
    QQueue<Answer> answers_;
    QQueue<int> picks_; // 0 = none
    QQueue<QPair<QString, QVariant>> finds_;
    QStringList pickCaptions_;
    int findCount_ = 0;
    int busyDepth_ = 0;
    int busyShown_ = 0;
    int busyUnbalanced_ = 0;
    QStringList failures_;
};

} // namespace pla
