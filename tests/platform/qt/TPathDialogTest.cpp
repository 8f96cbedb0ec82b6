#include "platform/qt/TPathDialog.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>

#include <filesystem>

namespace morvell {
namespace {

// Waits for the chooser to come up, then confirms it or cancels it.
void FinishChooser(bool confirm, QString& title) {
    QTimer::singleShot(10, [confirm, &title] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            FinishChooser(confirm, title);
            return;
        }
        title = dialog->windowTitle();
        QDialog* asDialog = dialog; // accept() is protected in QFileDialog, public in QDialog
        if (confirm)
            asDialog->accept();
        else
            asDialog->reject();
    });
}

TEST(TPathDialog, ConfirmGivesTheFolderAndCancelKeepsIt) {
    test::TempHome home;
    std::filesystem::create_directories(home.Path() / "CD");
    const QString start = QString::fromStdString((home.Path() / "CD").string());

    TPathDialog chooser;
    chooser.SetStatusText("Selezionare percorso per il CD / Cambiare CD:");
    chooser.SetDirectory(start);
    QString title;
    FinishChooser(false, title);
    EXPECT_FALSE(chooser.Execute());
    EXPECT_EQ(chooser.Directory(), start);
    EXPECT_EQ(title, "Selezionare percorso per il CD / Cambiare CD:");

    FinishChooser(true, title);
    ASSERT_TRUE(chooser.Execute());
    EXPECT_EQ(QDir(chooser.Directory()).canonicalPath(), QDir(start).canonicalPath());
}

} // namespace
} // namespace morvell
