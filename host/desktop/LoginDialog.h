#pragma once

#include "host/desktop/ServerLogin.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;

namespace pla {

// Asks for login and password until the server accepts them or the user gives up; a refusal
// is shown in the dialog, which keeps what was typed in the login field.
class LoginDialog : public QDialog {
public:
    // With `login` (a session being renewed) the user field holds it and cannot change: the
    // screens stay open for that user, who only gives his password again; `reason` says why.
    LoginDialog(ServerLogin& server, const QString& address, const QString& login = {},
                const QString& reason = {}, QWidget* parent = nullptr);
    // The user's record once logged in; nullopt when the dialog was cancelled.
    std::optional<LoginRecord> Run();

private:
    void TryLogin();

    ServerLogin& server_;
    QLineEdit* login_;
    QLineEdit* password_;
    QLabel* message_;
    std::optional<LoginRecord> record_;
};

} // namespace pla
