#include "framework/qt/ButtonBinding.h"

#include "framework/qt/FormRenderer.h"
#include "framework/ui/TBitBtn.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TSpeedButton.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace pla {

namespace {

// Tool buttons that came without a picture still need one to be recognisable: a standard
// icon chosen by the command the button stands for.
QIcon StandardIcon(const QString& name) {
    static const struct {
        const char* suffix;
        QStyle::StandardPixmap pixmap;
    } table[] = {
        {"Incluir", QStyle::SP_FileIcon},
        {"Alterar", QStyle::SP_FileDialogDetailedView},
        {"Excluir", QStyle::SP_TrashIcon},
        {"Procurar", QStyle::SP_FileDialogContentsView},
        {"Verificar", QStyle::SP_BrowserReload},
        {"Confirmar", QStyle::SP_DialogApplyButton},
        {"Confirma", QStyle::SP_DialogOkButton},
        {"Cancelar", QStyle::SP_DialogCancelButton},
        {"Cancel", QStyle::SP_DialogCancelButton},
        {"Imprimir", QStyle::SP_DriveFDIcon},
        {"Ajuda", QStyle::SP_DialogHelpButton},
        {"Help", QStyle::SP_DialogHelpButton},
        {"Fechar", QStyle::SP_DialogCloseButton},
        {"Gerar", QStyle::SP_FileDialogNewFolder},
        {"Redistribuir", QStyle::SP_BrowserReload},
        {"Apagar", QStyle::SP_DialogDiscardButton},
        {"AddTPrat", QStyle::SP_MediaSeekForward},
        {"AddPrat", QStyle::SP_ArrowRight},
        {"DelTPrat", QStyle::SP_MediaSeekBackward},
        {"DelPrat", QStyle::SP_ArrowLeft},
        {"Filial", QStyle::SP_FileDialogContentsView},
    };
    for (const auto& entry : table)
        if (name.endsWith(QLatin1String(entry.suffix), Qt::CaseInsensitive))
            return QApplication::style()->standardIcon(entry.pixmap);
    return QApplication::style()->standardIcon(QStyle::SP_FileDialogContentsView);
}

} // namespace

ButtonBinding::ButtonBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, nullptr) {
    const bool bitBtn = dynamic_cast<TBitBtn*>(&control) != nullptr;
    tool_ = bitBtn || dynamic_cast<TSpeedButton*>(&control) != nullptr;
    QAbstractButton* button = nullptr;
    if (tool_) {
        auto* tb = new QToolButton(parent);
        // A glyph push button is reached by Tab only: a click must not move the focus.
        tb->setFocusPolicy(bitBtn ? Qt::TabFocus : Qt::NoFocus);
        button = tb;
    } else {
        button = new QPushButton(parent);
        button->setFocusPolicy(Qt::StrongFocus);
    }
    widget_ = button;
    QObject::connect(button, &QAbstractButton::clicked, &context_, [this] {
        if (Syncing()) return;
        TControl& model = control_;
        renderer_.RunAction([&model] { model.UserClick(); });
    });
}

QPixmap ButtonBinding::GlyphPixmap(const QImage& glyph) {
    if (glyph.isNull()) return {};
    QImage img = glyph.convertToFormat(QImage::Format_ARGB32);
    if (!glyph.hasAlphaChannel()) {
        const QRgb key = img.pixel(0, img.height() - 1);
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) line[x] = 0;
        }
    }
    return QPixmap::fromImage(img);
}

void ButtonBinding::SyncText() {
    SyncAppearance();
}

void ButtonBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    auto* button = static_cast<QAbstractButton*>(widget_.data());
    if (!tool_) {
        button->setText(control_.Caption());
        return;
    }
    auto* bitBtn = dynamic_cast<TBitBtn*>(&control_);
    auto* speed = dynamic_cast<TSpeedButton*>(&control_);
    const QImage& glyph = bitBtn ? bitBtn->Glyph() : speed->Glyph();
    auto* tb = static_cast<QToolButton*>(button);
    // A focused tool button gets the style's focus frame, flat or not.
    tb->setAutoRaise(bitBtn ? bitBtn->Flat() : speed->Flat());
    QIcon icon;
    if (!glyph.isNull())
        icon = QIcon(GlyphPixmap(glyph));
    else if (control_.Caption().isEmpty())
        icon = StandardIcon(control_.Name());
    tb->setIcon(icon);
    tb->setText(control_.Caption());
    const int side = std::max(8, std::min(control_.Width(), control_.Height()) - 5);
    tb->setIconSize(QSize(side, side));
    tb->setToolButtonStyle(icon.isNull()                  ? Qt::ToolButtonTextOnly
                           : control_.Caption().isEmpty() ? Qt::ToolButtonIconOnly
                                                          : Qt::ToolButtonTextBesideIcon);
}

} // namespace pla
