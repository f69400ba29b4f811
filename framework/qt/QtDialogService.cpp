#include "framework/qt/QtDialogService.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/DatabaseError.h"
#include "framework/qt/FindDialog.h"
#include "framework/qt/PickListDialog.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/EConvertError.h"
#include "framework/ui/ModalResult.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <cstdio>

namespace pla {

namespace {

const char* kAnswerProperty = "plaAnswer";

QString TitleFor(MsgDlgType type) {
    switch (type) {
    case MsgDlgType::Error:
        return QStringLiteral("Erro");
    case MsgDlgType::Information:
        return QStringLiteral("Informação");
    case MsgDlgType::Warning:
        return QStringLiteral("Aviso");
    case MsgDlgType::Confirmation:
        return QStringLiteral("Confirmação");
    }
    return {};
}

QMessageBox::Icon IconFor(MsgDlgType type) {
    switch (type) {
    case MsgDlgType::Error:
        return QMessageBox::Critical;
    case MsgDlgType::Information:
        return QMessageBox::Information;
    case MsgDlgType::Warning:
        return QMessageBox::Warning;
    case MsgDlgType::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString MessageOf(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const EDatabaseError& e) {
        return e.Message();
    } catch (const EConvertError& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Erro inesperado.");
    }
}

} // namespace

QtDialogService::QtDialogService(QWidget* mainWindow) : mainWindow_(mainWindow) {
    busy_.SetWindow(mainWindow);
}

QtDialogService::~QtDialogService() {
    if (installed_) {
        SetErrorHandler({});
        SetDialogService(nullptr);
    }
}

void QtDialogService::ShowStatus(const QString& text) {
    if (auto* window = qobject_cast<QMainWindow*>(mainWindow_.data()))
        window->statusBar()->showMessage(text, 10000);
}

void QtDialogService::SetMainWindow(QWidget* window) {
    mainWindow_ = window;
    busy_.SetWindow(window);
}

void QtDialogService::Install() {
    SetDialogService(this);
    SetErrorHandler([this](std::exception_ptr failure) {
        MessageBox(MessageOf(failure), MsgDlgType::Error, mbOK);
    });
    installed_ = true;
}

QWidget* QtDialogService::Parent() const {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    return mainWindow_;
}

QMessageBox* QtDialogService::BuildBox(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                                       QWidget* parent) {
    // An information that asks yes or no is a question, and says so.
    const bool question = type == MsgDlgType::Information && (buttons & (mbYes | mbNo)) != 0;
    auto* box = new QMessageBox(question ? QMessageBox::Question : IconFor(type),
                                TitleFor(question ? MsgDlgType::Confirmation : type), text,
                                QMessageBox::NoButton, parent);
    auto add = [box](const QString& caption, QMessageBox::ButtonRole role, int answer) {
        QPushButton* b = box->addButton(caption, role);
        b->setProperty(kAnswerProperty, answer);
        return b;
    };
    if (buttons == 0) buttons = mbOK;
    QPushButton* first = nullptr;
    QPushButton* escape = nullptr;
    if (buttons & mbYes) first = add(QStringLiteral("&Sim"), QMessageBox::YesRole, mrYes);
    if (buttons & mbNo) escape = add(QStringLiteral("&Não"), QMessageBox::NoRole, mrNo);
    if (buttons & mbOK) {
        QPushButton* ok = add(QStringLiteral("OK"), QMessageBox::AcceptRole, mrOk);
        if (!first) first = ok;
        if (!escape) escape = ok;
    }
    if (buttons & mbCancel)
        escape = add(QStringLiteral("Cancelar"), QMessageBox::RejectRole, mrCancel);
    if (escape && (buttons & mbDefaultNo)) first = escape;
    if (first) box->setDefaultButton(first);
    if (escape) box->setEscapeButton(escape);
    return box;
}

int QtDialogService::Answer(QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked) clicked = box.escapeButton();
    return clicked ? clicked->property(kAnswerProperty).toInt() : mrCancel;
}

bool QtDialogService::Unanswerable(const QString& dialog) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(TitleFor(MsgDlgType::Error)),
                 qPrintable(QStringLiteral("o diálogo \"%1\" pede uma escolha, e não há "
                                           "ninguém para fazê-la.")
                                .arg(dialog)));
    ++unattendedFailures_;
    return false;
}

int QtDialogService::MessageBox(const QString& text, MsgDlgType type, MsgDlgButtons buttons) {
    if (unattended_) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(TitleFor(type)), qPrintable(text));
        const bool question = (buttons & (mbNo | mbCancel)) != 0;
        if (type == MsgDlgType::Error || question) ++unattendedFailures_;
        if (buttons & mbNo) return mrNo;
        if (buttons & mbCancel) return mrCancel;
        return mrOk;
    }
    std::unique_ptr<QMessageBox> box(BuildBox(text, type, buttons, Parent()));
    // A box shown in the middle of a busy period must be answerable.
    BusyIndicator::PauseScope pause(busy_);
    box->exec();
    return Answer(*box);
}

bool QtDialogService::PickList(TDataSource& source, const QString& caption) {
    TClientDataSet* ds = source.DataSet();
    if (!ds || !ds->Active()) return false;
    if (unattended_) return Unanswerable(caption.left(caption.indexOf(QLatin1Char('|'))));
    const qsizetype bar = caption.indexOf(QLatin1Char('|'));
    PickListDialog dialog(*ds, bar < 0 ? caption : caption.left(bar), Parent());
    BusyIndicator::PauseScope pause(busy_);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogService::Find(TClientDataSet& dataSet) {
    if (unattended_) {
        Unanswerable(QStringLiteral("Procurar"));
        return;
    }
    FindDialog dialog(dataSet, Parent());
    BusyIndicator::PauseScope pause(busy_);
    dialog.exec();
}

void QtDialogService::BusyBegin(int) {
    busy_.Begin();
}

void QtDialogService::BusyEnd() {
    busy_.End();
}

} // namespace pla
