#include "platform/qt/QtMessages.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace morvell {
namespace {

struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool parentless = false;
    Qt::WindowModality modality = Qt::NonModal;
    int buttons = 0;
};

// Answers the next message box once it is up, remembering how it looked.
void AnswerNextBox(Seen& seen, QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            AnswerNextBox(seen, answer);
            return;
        }
        seen = {box->windowTitle(),    box->text(),
                box->icon(),           box->parentWidget() == nullptr,
                box->windowModality(), int(box->buttons().size())};
        box->button(answer)->click();
    });
}

TEST(QtMessages, CaptionsIconsAndAnswers) {
    QtMessages messages;
    SetApplicationTitle("Morvell");
    struct Case {
        std::function<void()> show;
        const char* title;
        QMessageBox::Icon icon;
    } cases[] = {
        {[&] { messages.Information("Info \xC3\xA8"); }, "Informazione", QMessageBox::Information},
        {[&] { messages.Warning("Info \xC3\xA8"); }, "Attenzione!", QMessageBox::Warning},
        {[&] { messages.Error("Info \xC3\xA8"); }, "Errore!", QMessageBox::Critical},
        {[&] { messages.Plain("Info \xC3\xA8"); }, "Morvell", QMessageBox::NoIcon},
    };
    for (const auto& c : cases) {
        Seen seen;
        AnswerNextBox(seen, QMessageBox::Ok);
        c.show();
        EXPECT_EQ(seen.title, c.title);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.text, QString::fromUtf8("Info è"));
        EXPECT_TRUE(seen.parentless);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
        EXPECT_EQ(seen.buttons, 1);
    }
    for (bool yes : {true, false}) {
        Seen seen;
        AnswerNextBox(seen, yes ? QMessageBox::Yes : QMessageBox::No);
        EXPECT_EQ(messages.Question("Sei sicuro di voler deinstallare?"), yes);
        EXPECT_EQ(seen.title, "Morvell");
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        EXPECT_EQ(seen.buttons, 2);
    }
    SetApplicationTitle("");
}

TEST(QtMessages, InstallQtPlatformPumpsTheEventLoop) {
    InstallQtPlatform();
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    PumpMessages(2, 1);
    EXPECT_TRUE(ran);
    SetMessages(nullptr);
    SetMessagePump(nullptr);
}

} // namespace
} // namespace morvell
