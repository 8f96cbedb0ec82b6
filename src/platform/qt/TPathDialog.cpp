#include "platform/qt/TPathDialog.h"

#include <QDir>
#include <QFileDialog>

namespace morvell {

TPathDialog::TPathDialog(QWidget* parent) : QObject(parent), m_parent(parent) {}

bool TPathDialog::Execute() {
    QFileDialog dialog(m_parent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    // Qt's own dialog: the status text goes in its title and label, which a desktop's
    // native chooser would not show.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowTitle(m_statusText);
    dialog.setLabelText(QFileDialog::LookIn, m_statusText);
    if (!m_directory.isEmpty() && QDir(m_directory).exists()) dialog.setDirectory(m_directory);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    m_directory = QDir::toNativeSeparators(chosen.first());
    return true;
}

} // namespace morvell
