#include "shell/qt/TFErr.h"

#include "platform/UpdateFile.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

namespace morvell {

namespace {

TFErr::Downloader& DownloaderHook() {
    static TFErr::Downloader downloader;
    return downloader;
}

// The update download starts this long after the window shows, so the window is painted
// and the user sees what is happening before the transfer begins.
constexpr int kDownloadDelayMs = 600;

} // namespace

TFErr::TFErr(QWidget* parent) : QDialog(parent) {
    setModal(true);
    setObjectName("FErr");
    m_heading = new QLabel(this);
    m_heading->setObjectName("Label1");
    m_heading->setWordWrap(true);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("ProgressBar");
    m_progress->setVisible(false);
    m_list = new QListWidget(this);
    m_list->setObjectName("ListBox1");
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName("BOK");
    m_ok->setDefault(true);
    m_copy = new QPushButton(tr("Copia"), this);
    m_copy->setObjectName("BCopy");
    m_load = new QPushButton(tr("Carica..."), this);
    m_load->setObjectName("BLoad");
    m_save = new QPushButton(tr("Salva..."), this);
    m_save->setObjectName("BSave");
    m_copy->setVisible(false);
    m_load->setVisible(false);
    m_save->setVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_copy);
    buttons->addWidget(m_load);
    buttons->addWidget(m_save);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_progress);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(520, 360);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_copy, &QPushButton::clicked, this, &TFErr::CopyAll);
    connect(m_load, &QPushButton::clicked, this, &TFErr::OnLoadClicked);
    connect(m_save, &QPushButton::clicked, this, &TFErr::OnSaveClicked);

    m_downloadTimer = new QTimer(this);
    m_downloadTimer->setSingleShot(true);
    m_downloadTimer->setInterval(kDownloadDelayMs);
    connect(m_downloadTimer, &QTimer::timeout, this, [this] {
        // The window comes to the front as the download starts.
        raise();
        activateWindow();
        RunDownload();
    });
}

void TFErr::SetHeading(const QString& heading) { m_heading->setText(heading); }

QString TFErr::Heading() const { return m_heading->text(); }

void TFErr::AddLine(const QString& line) { m_list->addItem(line); }

void TFErr::SetLines(const QStringList& lines) {
    m_list->clear();
    m_list->addItems(lines);
}

QStringList TFErr::Lines() const {
    QStringList out;
    out.reserve(m_list->count());
    for (int i = 0; i < m_list->count(); ++i) out << m_list->item(i)->text();
    return out;
}

void TFErr::Clear() { m_list->clear(); }

void TFErr::ShowCopyButton(bool show) { m_copy->setVisible(show); }

void TFErr::ShowLoadSaveButtons(bool show) {
    m_load->setVisible(show);
    m_save->setVisible(show);
}

QString TFErr::Text() const { return Lines().join('\n'); }

void TFErr::CopyAll() {
    if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setText(Text());
}

bool TFErr::SaveToFile(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QByteArray bytes;
    for (const QString& line : Lines()) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    return file.write(bytes) == bytes.size() && file.flush();
}

bool TFErr::LoadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    // A report is a few pages of text; refuse anything absurd rather than fill the list.
    constexpr qint64 kMaxReportBytes = 16 * 1024 * 1024;
    if (file.size() > kMaxReportBytes) return false;
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split('\n');
    // The final line break ends the last line; it does not start an empty one.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    SetLines(lines);
    return true;
}

void TFErr::OnLoadClicked() {
    QString path =
        QFileDialog::getOpenFileName(this, windowTitle(), QString(), tr("Testo (*.txt);;Tutti (*)"));
    if (!path.isEmpty()) LoadFromFile(path);
}

void TFErr::OnSaveClicked() {
    QString path =
        QFileDialog::getSaveFileName(this, windowTitle(), QString(), tr("Testo (*.txt);;Tutti (*)"));
    if (!path.isEmpty()) SaveToFile(path);
}

// ---- download mode ------------------------------------------------------------------------

void TFErr::SetDownload(const QString& address, const QString& target) {
    m_address = address;
    m_target = target;
    m_downloadStarted = false;
}

void TFErr::SetDownloader(Downloader downloader) { DownloaderHook() = std::move(downloader); }

void TFErr::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (InDownloadMode() && !m_downloadStarted) {
        m_progress->setVisible(true);
        m_progress->setRange(0, 0); // busy until the size is known
        m_downloadTimer->start();
    }
}

void TFErr::RunDownload() {
    if (!InDownloadMode() || m_downloadStarted) return;
    m_downloadStarted = true;
    m_downloadTimer->stop();
    m_progress->setVisible(true);
    // SEAM: the transfer is supplied by the internet layer through SetDownloader (a download
    // with the crawler identity). Without one nothing is fetched and the verdict below reports
    // that no update was found.
    if (const Downloader& download = DownloaderHook()) {
        download(m_address, m_target, [this](long long done, long long total) {
            if (total > 0) {
                m_progress->setRange(0, 1000);
                m_progress->setValue(int(done * 1000 / total));
            }
        });
    }
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    AddLine(QString::fromStdString(CheckDownloadedUpdate(m_target.toStdString(), m_address.toStdString())));
}

} // namespace morvell
