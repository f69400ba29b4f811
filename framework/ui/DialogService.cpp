#include "framework/ui/DialogService.h"

#include "framework/ui/ModalResult.h"

#include <stdexcept>

namespace pla {

DialogService::~DialogService() = default;

void DialogService::ShowStatus(const QString&) {}

void DialogService::ShowError(const QString& text) {
    MessageBox(text, MsgDlgType::Error, mbOK);
}

void DialogService::ShowInformation(const QString& text) {
    MessageBox(text, MsgDlgType::Information, mbOK);
}

void DialogService::ShowWarning(const QString& text) {
    MessageBox(text, MsgDlgType::Warning, mbOK);
}

bool DialogService::AskYesNo(const QString& text, MsgDlgType type) {
    return MessageBox(text, type, mbYesNo) == mrYes;
}

bool DialogService::AskOkCancel(const QString& text, MsgDlgType type) {
    return MessageBox(text, type, mbOKCancel) == mrOk;
}

namespace {
DialogService* installed = nullptr;
}

DialogService& Dialogs() {
    if (!installed) throw std::logic_error("nenhum serviço de diálogos instalado");
    return *installed;
}

bool HasDialogs() {
    return installed != nullptr;
}

void SetDialogService(DialogService* service) {
    installed = service;
}

} // namespace pla
