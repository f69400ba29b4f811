#include "framework/ui/FormHost.h"

#include "framework/ui/TForm.h"

namespace pla {

FormHost::~FormHost() = default;

void HeadlessFormHost::Show(TForm&) {}

int HeadlessFormHost::RunModal(TForm& form) {
    return form.ModalResult() != mrNone ? form.ModalResult() : mrCancel;
}

void HeadlessFormHost::Close(TForm&) {}

namespace {
HeadlessFormHost headlessHost;
FormHost* installedHost = nullptr;
} // namespace

FormHost& CurrentFormHost() {
    return installedHost ? *installedHost : headlessHost;
}

void SetFormHost(FormHost* host) {
    installedHost = host;
}

} // namespace pla
