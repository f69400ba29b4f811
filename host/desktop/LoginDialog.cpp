#include "host/desktop/LoginDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pla {

LoginDialog::LoginDialog(ServerLogin& server, const QString& address, const QString& login,
                         const QString& reason, QWidget* parent)
    : QDialog(parent), server_(server), login_(new QLineEdit(this)), password_(new QLineEdit(this)),
      message_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Entrar no servidor de aplicação"));
    password_->setEchoMode(QLineEdit::Password);
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00020"));
    message_->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Usuário:"), login_);
    form->addRow(QStringLiteral("&Senha:"), password_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Entrar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { TryLogin(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        login.isEmpty()
            ? QStringLiteral("O servidor %1 exige usuário e senha.").arg(address)
            : QStringLiteral("%1\nInforme a senha para continuar; a alteração em andamento é "
                             "mantida.")
                  .arg(reason.isEmpty()
                           ? QStringLiteral("A sessão no servidor %1 terminou.").arg(address)
                           : reason),
        this));
    layout->addLayout(form);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    login_->setText(login);
    login_->setReadOnly(!login.isEmpty());
    if (login.isEmpty())
        login_->setFocus();
    else
        password_->setFocus();
}

void LoginDialog::TryLogin() {
    if (login_->text().trimmed().isEmpty()) {
        message_->setText(QStringLiteral("Informe o usuário."));
        message_->show();
        login_->setFocus();
        return;
    }
    QString message;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    record_ = server_.login(login_->text().trimmed(), password_->text(), message);
    QApplication::restoreOverrideCursor();
    if (record_) {
        accept();
        return;
    }
    message_->setText(message);
    message_->show();
    password_->clear();
    password_->setFocus();
}

std::optional<LoginRecord> LoginDialog::Run() {
    return exec() == QDialog::Accepted ? record_ : std::nullopt;
}

} // namespace pla
