#include "platform/qt/QtMessages.h"

#include "platform/Files.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace morvell {

namespace {

// Task-modal boxes: no owner window, so they never hide behind a closing window, and
// application modal, so nothing else takes input while they are up.
QMessageBox::StandardButton Show(QMessageBox::Icon icon, const std::string& caption, const std::string& text,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def) {
    QMessageBox box(icon, QString::fromStdString(caption),
                    QString::fromUtf8(text.data(), qsizetype(text.size())), buttons);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(def);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void QtMessages::Information(const std::string& text) {
    Show(QMessageBox::Information, kCaptionInformation, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessages::Warning(const std::string& text) {
    Show(QMessageBox::Warning, kCaptionWarning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessages::Error(const std::string& text) {
    Show(QMessageBox::Critical, kCaptionError, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessages::Question(const std::string& text) {
    return Show(QMessageBox::Question, ApplicationTitle(), text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::Yes) == QMessageBox::Yes;
}

void QtMessages::Plain(const std::string& text) {
    Show(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, QMessageBox::Ok);
}

void InstallQtPlatform() {
    static QtMessages messages;
    SetMessages(&messages);
    SetMessagePump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

} // namespace morvell
