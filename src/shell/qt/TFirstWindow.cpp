#include "shell/qt/TFirstWindow.h"

#include "document/TOVKset.h"
#include "document/qt/TOVKorderedTree.h"
#include "objects/TOVKUndoList.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "objects/qt/TOVKpage.h"
#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/Messages.h"

#include "shell/Options.h"
#include "shell/StartupChoice.h"
#include "shell/StartupTexts.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <charconv>

namespace morvell {

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr int kMinimumSide = 100;
constexpr int kTreeWidth = 220;

bool ReadInt(const char* name, int& value) {
    const std::string text = options::ReadOption(name);
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

} // namespace

TFirstWindow::TFirstWindow(StartupRequest request, QWidget* parent)
    : QMainWindow(parent), m_request(std::move(request)), m_brochure(m_request.brochure) {
    setObjectName(QStringLiteral("TMainForm"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    // Until pages are drawn, the page panel names the ebook that is open.
    m_cover = new QLabel(this);
    m_cover->setObjectName(QStringLiteral("Cover"));
    m_cover->setAlignment(Qt::AlignCenter);
    m_cover->setWordWrap(true);
    m_cover->setTextFormat(Qt::PlainText);
    QFont big = m_cover->font();
    big.setPointSize(20);
    m_cover->setFont(big);
    // The chapter tree beside one page view; until an ebook is open the label names the
    // (untitled) document instead.
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new TOVKorderedTree(m_splitter);
    m_tree->setObjectName(QStringLiteral("ChapterTree"));
    m_page = new TOVKpage(m_splitter);
    m_page->setObjectName(QStringLiteral("PageView"));
    m_page->SetReadOnly(true);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_page);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kTreeWidth, kDefaultWidth - kTreeWidth});
    auto* stack = new QStackedWidget(this);
    stack->addWidget(m_cover);
    stack->addWidget(m_splitter);
    setCentralWidget(stack);
    // Following a link rebuilds the page view the click came from: never inside its handler.
    connect(
        m_page, &TOVKpage::pageLinkClicked, this, [this](int index) { ShowPage(index); },
        Qt::QueuedConnection);
    connect(
        m_tree, &TOVKorderedTree::LeafActivated, this,
        [this](TOVKoggetto* object) {
            if (object && object->Kind() == TOggettiHel::testoHtml) ShowPage(object->Index());
        },
        Qt::QueuedConnection);
    // The skin switch always starts off.
    options::WriteOption(startup_texts::kOptSkin, "0");
    PlaceFromOptions();
    UpdateCaption();
}

TFirstWindow::~TFirstWindow() {
    // The views refer to the document and its undo list, which go before the child widgets.
    m_page->Clear();
    m_page->SetUndoList(nullptr);
    m_page->SetDocument(nullptr);
    m_tree->SetLinkedOVKset(nullptr);
}

void TFirstWindow::PlaceFromOptions() {
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    int left = 0, top = 0, width = 0, height = 0;
    if (!ReadInt(startup_texts::kOptMainLeft, left) || !ReadInt(startup_texts::kOptMainTop, top) ||
        !ReadInt(startup_texts::kOptMainWidth, width) || !ReadInt(startup_texts::kOptMainHeight, height)) {
        width = std::min(kDefaultWidth, screen.width());
        height = std::min(kDefaultHeight, screen.height());
        resize(width, height);
        move(screen.x() + std::max(0, (screen.width() - width) / 2),
             screen.y() + std::max(0, (screen.height() - height) / 2));
        return;
    }
    // Values from another screen or a hand-edited store must still leave the window reachable.
    width = std::clamp(width, kMinimumSide, std::max(kMinimumSide, screen.width()));
    height = std::clamp(height, kMinimumSide, std::max(kMinimumSide, screen.height()));
    left = std::clamp(left, screen.x(), std::max(screen.x(), screen.right() + 1 - width));
    top = std::clamp(top, screen.y(), std::max(screen.y(), screen.bottom() + 1 - height));
    resize(width, height);
    move(left, top);
}

void TFirstWindow::UpdateCaption() {
    const QString title = QString::fromStdString(Title());
    setWindowTitle(title);
    m_cover->setText(title);
}

void TFirstWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_firstShowPending && !m_firstShowQueued) {
        m_firstShowQueued = true;
        QTimer::singleShot(0, this, &TFirstWindow::FirstShow);
    }
}

void TFirstWindow::FirstShow() {
    if (!m_firstShowPending) return;
    m_firstShowPending = false;
    StartupChoice choice = ChooseStartupEbook(m_request.args, m_request.programFolder,
                                              m_request.currentFolder, m_request.brochure);
    m_brochure = choice.brochure;
    if (!choice.path.empty()) {
        OpenEbook(choice.path);
        // Following links is the navigation's job; until it exists the requests are shown.
        for (const auto& link : choice.pageRequests) m_pageRequests << QString::fromStdString(link);
        if (!m_pageRequests.isEmpty()) statusBar()->showMessage(m_pageRequests.join(QStringLiteral("  ")));
    } else {
        if (m_document) m_document->New();
        const std::string last = FallbackEbook();
        if (!last.empty()) OpenEbook(last);
    }
    UpdateCaption();
    emit firstShown();
}

bool TFirstWindow::OpenEbook(const std::string& path) {
    // The window's own check comes first; the document then reports everything else (its
    // header boxes and the read error) and falls back to a new empty document.
    if (!FileExists(path)) {
        Msg().Warning(startup_texts::kFileNotFound + path);
        UpdateCaption();
        return false;
    }
    m_page->Clear();
    m_tree->SetLinkedOVKset(nullptr);
    if (!m_document) m_document = std::make_unique<TOVKset>();
    const bool ok = m_document->SetOVKFileName(path) && m_document->OVKFileName() == path;
    if (ok) {
        m_currentFile = path;
        AddRecentDocument(path);
    }
    ShowDocument(ok);
    UpdateCaption();
    return ok;
}

void TFirstWindow::ShowDocument(bool opened) {
    auto* stack = static_cast<QStackedWidget*>(centralWidget());
    if (!opened) {
        stack->setCurrentWidget(m_cover);
        return;
    }
    m_undo = std::make_unique<TOVKundoList>(m_document.get());
    m_page->SetDocument(m_document.get());
    m_page->SetUndoList(m_undo.get());
    m_tree->SetLinkedOVKset(m_document.get());
    m_tree->Reload();
    m_tree->expandAll();
    stack->setCurrentWidget(m_splitter);
    ShowPage(m_document->CoverPage());
}

std::string TFirstWindow::Title() const {
    if (!m_document || m_document->OVKFileName().empty()) return startup_texts::kUntitled;
    const std::string title = CodePage::ToUtf8(m_document->Header().Title(), m_document->CharSet());
    return title.empty() ? std::string(startup_texts::kUntitled) : title;
}

bool TFirstWindow::ShowPage(std::int32_t index) {
    if (!m_document) return false;
    TOVKoggetto* object = index >= 0 && index < m_document->PageCount()
                              ? m_document->Object(TOggettiHel::testoHtml, index)
                              : nullptr;
    auto* page = dynamic_cast<TOVKtesto*>(object);
    if (!page || page->IsFree()) return false;
    m_page->Clear();
    m_page->SetPage(page);
    return true;
}

void TFirstWindow::closeEvent(QCloseEvent* event) {
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        options::WriteOption(startup_texts::kOptMainLeft, std::to_string(x()));
        options::WriteOption(startup_texts::kOptMainTop, std::to_string(y()));
        options::WriteOption(startup_texts::kOptMainWidth, std::to_string(width()));
        options::WriteOption(startup_texts::kOptMainHeight, std::to_string(height()));
    }
    // Only an ebook that opened replaces the one remembered from earlier runs.
    if (!m_currentFile.empty()) options::WriteOption(startup_texts::kOptLastFile, m_currentFile);
    QMainWindow::closeEvent(event);
    emit closed();
}

} // namespace morvell
