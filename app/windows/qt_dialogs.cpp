#include "app/windows/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Caption(std::string_view caption) {
    return caption.empty() ? QGuiApplication::applicationDisplayName() : ToQString(caption);
}

QMessageBox::Icon IconOf(params::DialogIcon icon) {
    switch (icon) {
    case params::DialogIcon::Information:
        return QMessageBox::Information;
    case params::DialogIcon::Warning:
        return QMessageBox::Warning;
    case params::DialogIcon::Critical:
        return QMessageBox::Critical;
    case params::DialogIcon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

int Run(QMessageBox& box) {
    box.setParent(QApplication::activeWindow(), Qt::Dialog);
    return box.exec();
}

} // namespace

params::DialogAnswer QtDialogs::Ask(std::string_view text, std::string_view caption,
                                    params::DialogButtons buttons, params::DialogIcon icon) {
    const bool withCancel = buttons == params::DialogButtons::YesNoCancel;
    QMessageBox box(IconOf(icon), Caption(caption), ToQString(text),
                    withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                               : QMessageBox::Yes | QMessageBox::No);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (Run(box)) {
    case QMessageBox::Yes:
        return params::DialogAnswer::Yes;
    case QMessageBox::No:
        return params::DialogAnswer::No;
    default:
        return withCancel ? params::DialogAnswer::Cancel : params::DialogAnswer::No;
    }
}

params::DialogAnswer QtDialogs::Inform(std::string_view text, std::string_view caption,
                                       params::DialogIcon icon) {
    QMessageBox box(IconOf(icon), Caption(caption), ToQString(text), QMessageBox::Ok);
    Run(box);
    return params::DialogAnswer::Ok;
}

params::DialogAnswer QtDialogs::Warn(std::string_view text, std::string_view caption) {
    return Inform(text, caption, params::DialogIcon::Warning);
}

std::optional<std::string> QtDialogs::OpenFile(std::string_view caption, std::string_view filter,
                                               std::string_view defaultSuffix) {
    QFileDialog dialog(QApplication::activeWindow(), Caption(caption));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(ToQString(filter));
    dialog.setDefaultSuffix(ToQString(defaultSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst().toStdString();
}
